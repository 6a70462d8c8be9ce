#pragma once

#include "framework/command_map.h"
#include "framework/command_router.h"
#include "menus/icon_menu.h"
#include "menus/platform_menus.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QToolBar;

namespace ostrel {

class CHelpWindow;
class CommandActions;
class KeyboardLocks;
class QtMenuMirror;
class SystemLook;

// The program's main window: menus, toolbar with the project box, status bar and the MDI
// area that holds the source windows. It routes every command along the active view, its
// document, itself and the application object.
class CMainFrame : public QMainWindow, public CommandTargetOf<CMainFrame>
{
    Q_OBJECT

public:
    CMainFrame(CommandTarget &application, KeyboardLocks &locks, const SystemLook &look,
        QWidget *parent = nullptr);
    ~CMainFrame() override;

    static const CommandMap<CMainFrame> &Commands();

    QMdiArea *MdiArea() const { return m_area; }
    QToolBar *ToolBar() const { return m_toolBar; }
    QComboBox *ProjectBox() const { return m_projectBox; }
    QLabel *LinePane() const { return m_linePane; }
    QLabel *LockPane(int index) const { return m_lockPanes[index]; }
    CommandActions &Actions() const { return *m_actions; }
    PlatformMenus &Menus() { return m_menus; }
    MenuHandle DefaultMenu() const { return m_defaultMenuHandle; }
    MenuHandle DocumentMenu() const { return m_documentMenuHandle; }
    // The menu bar now shown: the document menu while a source window is open.
    MenuHandle ShownMenu() const;

    // Runs a command along the route; false when nothing ran it.
    bool RouteCommand(uint16_t id);
    // Shows the first drop-down list of menu resource `menuId` at `globalPosition` and runs
    // the chosen command along the route.
    void ShowPopupMenu(uint16_t menuId, const QPoint &globalPosition);
    // The caret-line pane's text; the pane grows to show it whole.
    void SetLineText(const QString &text);
    // The one entry of the project box; the box is rebuilt only when the text changes.
    void SetProjectText(const QString &text);
    const CommandRouter &Router() const { return m_router; }
    // The active view and its document as the head of the route.
    void SetActiveTargets(CommandTarget *view, CommandTarget *document);
    // Brings menus, toolbar buttons and lock indicators up to date.
    void UpdateCommandUI();

    // The recent-file entries shown in both File menus (empty: the greyed placeholder).
    void SetRecentFiles(const std::vector<std::string> &menuTexts);
    // Switches the menu bar between the two menus as documents come and go.
    void SetDocumentOpen(bool open);

    // Asked before the window closes; false keeps it open (a save was cancelled).
    void SetCloseGuard(std::function<bool()> guard) { m_closeGuard = std::move(guard); }
    // Makes a further window on the active document (New Window).
    void SetNewWindowHandler(std::function<void()> handler) { m_newWindow = std::move(handler); }

    // Command handlers.
    void OnViewToolbar();
    void OnUpdateViewToolbar(CommandState &state);
    void OnViewStatusBar();
    void OnUpdateViewStatusBar(CommandState &state);
    void OnWindowNew();
    void OnWindowCascade();
    void OnWindowTile();
    void OnWindowArrange();
    void OnHelpTopics();
    void OnHelp();
    void OnContextHelp();

    // The icon menus: built after the window exists, their handles detached into the two
    // menu bars (the document menu while a document is open, the default menu otherwise).
    void BuildDocumentMenu();
    void BuildDefaultMenu();
    // The platform's menu requests. Measuring: `list` holds the entry.
    void OnMeasureItem(MeasureItemRequest &request, MenuHandle list);
    void OnDrawItem(const DrawItemRequest &request);
    uint32_t OnMenuChar(uint32_t character, uint32_t menuFlags, MenuHandle menu);
    void OnInitMenuPopup(MenuHandle menu, int index, bool systemMenu);

    // The help window, opened at `page` (for the Getting Started topic of other commands).
    void ShowHelp(const std::string &page);

protected:
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void CreateToolBar();
    void CreateStatusBar();
    void CreateMenus();
    void UpdateWindowList();
    void ActivateWindow(uint32_t id);
    void ShowIdleMessage(const QString &message);
    void UpdateLockPanes();
    // "Ostrel - MAIN.C*" for the active source window, "Ostrel" without one.
    QString Caption() const;
    void UpdateCaption();
    // The icon menu of a drop-down list of either menu bar, or null.
    CIconMenu *OwnedIconMenu(MenuHandle list) const;
    // Enabled and checked states of the list's commands, written into the menu model.
    void WriteMenuStates(MenuHandle list);

    CommandTarget &m_application;
    KeyboardLocks &m_locks;
    CommandTarget *m_view = nullptr;
    CommandTarget *m_document = nullptr;
    CommandRouter m_router;

    QMdiArea *m_area;
    CommandActions *m_actions = nullptr;
    QToolBar *m_toolBar = nullptr;
    QComboBox *m_projectBox = nullptr;
    QLabel *m_idlePane = nullptr;
    QLabel *m_linePane = nullptr;
    QLabel *m_lockPanes[3] = {};

    PlatformMenus m_menus;
    MenuContext m_menuContext;
    CIconMenu m_docMenu;
    CIconMenu m_defaultMenu;
    MenuHandle m_defaultMenuHandle = 0;
    MenuHandle m_documentMenuHandle = 0;
    QtMenuMirror *m_mirror = nullptr;
    QPointer<CHelpWindow> m_help;

    QString m_appTitle;
    QMetaObject::Connection m_activeTitleConnection;
    bool m_locksStale = true; // a key or an activation may have changed the lock keys
    bool m_settingCaption = false;

    std::function<bool()> m_closeGuard;
    std::function<void()> m_newWindow;
};

} // namespace ostrel
