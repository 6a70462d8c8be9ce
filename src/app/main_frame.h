#pragma once

#include "framework/command_map.h"
#include "framework/command_router.h"
#include "menus/platform_menus.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QMdiArea;
class QToolBar;

namespace ostrel {

class CHelpWindow;
class CMainToolbar;
class CommandActions;
class FrameCaption;
class IconMenuAdapter;
class KeyboardLocks;
class StatusPanes;
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
    QToolBar *ToolBar() const;
    QComboBox *ProjectBox() const;
    QLabel *LinePane() const;
    QLabel *LockPane(int index) const;
    CommandActions &Actions() const { return *m_actions; }
    IconMenuAdapter &IconMenus() const { return *m_iconMenus; }
    PlatformMenus &Menus();
    MenuHandle DefaultMenu() const;
    MenuHandle DocumentMenu() const;
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

    // The help window, opened at `page` (for the Getting Started topic of other commands).
    void ShowHelp(const std::string &page);

protected:
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;

private:
    void CreateMenus(const SystemLook &look);
    // Writes the open windows into the Window list of the document menu.
    void UpdateWindowList();
    void ActivateWindow(uint32_t id);

    CommandTarget &m_application;
    CommandTarget *m_view = nullptr;
    CommandTarget *m_document = nullptr;
    CommandRouter m_router;

    QMdiArea *m_area;
    CommandActions *m_actions = nullptr;
    CMainToolbar *m_toolBar = nullptr;
    StatusPanes *m_status = nullptr;
    FrameCaption *m_caption = nullptr;
    IconMenuAdapter *m_iconMenus = nullptr;
    QPointer<CHelpWindow> m_help;

    std::function<bool()> m_closeGuard;
    std::function<void()> m_newWindow;
};

} // namespace ostrel
