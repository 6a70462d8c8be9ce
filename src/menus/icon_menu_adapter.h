#pragma once

#include "framework/command_target.h"
#include "menus/icon_menu.h"
#include "menus/platform_menus.h"

#include <QObject>
#include <QString>

#include <functional>

class QAction;
class QMenuBar;
class QPainter;
class QPoint;
class QRect;
class QSize;
class QWidget;

namespace ostrel {

class QtMenuMirror;

// The icon menus of a main window: the menu bar shown while a document is open and the one shown
// without, built from the resources and shown in the window's QMenuBar. It answers the menus'
// requests (measuring, drawing, typed characters, a list about to open) through the icon menu
// objects, and shows pop-up menus of the same kind.
class IconMenuAdapter : public QObject
{
    Q_OBJECT

public:
    struct Hooks
    {
        // The shared action of a command, or null for entries that have none.
        std::function<QAction *(uint16_t id)> commandAction;
        // Runs an entry that has no shared action (a recent file, a window of the window list).
        std::function<void(uint32_t id)> run;
        // Called before a list opens: the owner brings the lists it keeps and the command
        // states up to date.
        std::function<void()> beforeShow;
        // The state of a command on the owner's route.
        std::function<CommandState(uint16_t id)> state;
        // The status-bar prompt of an entry that has no shared action.
        std::function<QString(uint32_t id)> prompt;
    };
    // Resource ids: the menu without a document, the one with a document, the toolbar whose
    // images the entries show.
    struct MenuIds
    {
        uint16_t defaultMenu = 0;
        uint16_t documentMenu = 0;
        uint16_t toolbar = 0;
    };

    IconMenuAdapter(const SystemLook &look, const MenuResources &resources, QMenuBar *bar,
        const MenuIds &ids, Hooks hooks, QObject *parent = nullptr);
    ~IconMenuAdapter() override;

    PlatformMenus &Menus() { return m_menus; }
    MenuHandle DefaultMenu() const { return m_defaultMenuHandle; }
    MenuHandle DocumentMenu() const { return m_documentMenuHandle; }
    // The menu bar now shown, and a switch to the other.
    MenuHandle Shown() const;
    void Show(MenuHandle bar);

    // Shows the first drop-down list of menu resource `menuId` at `globalPosition`, its entries
    // greyed by the states of their commands, and runs the chosen entry.
    void ShowPopup(uint16_t menuId, QWidget *parent, const QPoint &globalPosition);

    // The menus' requests. Measuring: `list` holds the entry.
    void OnMeasureItem(MeasureItemRequest &request, MenuHandle list);
    void OnDrawItem(const DrawItemRequest &request);
    uint32_t OnMenuChar(uint32_t character, uint32_t menuFlags, MenuHandle menu);
    void OnInitMenuPopup(MenuHandle menu, bool systemMenu);

private:
    void BuildDocumentMenu(const MenuIds &ids);
    void BuildDefaultMenu(const MenuIds &ids);
    // The icon menu of a drop-down list of either menu bar, or null.
    CIconMenu *OwnedIconMenu(MenuHandle list) const;
    // Enabled and checked states of the list's commands, written into the menu model.
    void WriteMenuStates(MenuHandle list);
    QSize MeasureEntry(MenuHandle list, int position);
    void DrawEntry(
        MenuHandle list, int position, QPainter &painter, const QRect &rect, bool selected);
    QString EntryText(MenuHandle list, int position) const;

    Hooks m_hooks;
    PlatformMenus m_menus;
    MenuContext m_context;
    CIconMenu m_docMenu;
    CIconMenu m_defaultMenu;
    MenuHandle m_defaultMenuHandle = 0;
    MenuHandle m_documentMenuHandle = 0;
    QtMenuMirror *m_mirror = nullptr;
};

} // namespace ostrel
