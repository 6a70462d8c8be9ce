#include "menus/qt_menu_mirror.h"

#include "platform/qt_services.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace ostrel {

QtMenuMirror::QtMenuMirror(PlatformMenus &menus, QMenuBar *bar, Hooks hooks, QObject *parent)
    : QObject(parent)
    , m_menus(menus)
    , m_bar(bar)
    , m_hooks(std::move(hooks))
{
}

void QtMenuMirror::Show(MenuHandle menu)
{
    m_shown = menu;
    if (!m_bar)
        return;
    for (QAction *action : m_bar->actions()) {
        m_bar->removeAction(action);
        if (QMenu *old = action->menu())
            old->deleteLater();
    }
    const auto *items = m_menus.Items(menu);
    if (!items)
        return;
    for (const PlatformMenuItem &item : *items) {
        if (item.IsPopup())
            m_bar->addMenu(MakeMenu(ToQt(item.text), item.id, m_bar));
    }
}

QMenu *QtMenuMirror::MakeMenu(const QString &title, MenuHandle handle, QWidget *parent)
{
    auto *menu = new OwnerDrawMenu(title, handle, m_hooks.ownerDraw, parent);
    connect(menu, &QMenu::aboutToShow, this, [this, menu, handle] {
        if (m_hooks.beforeShow)
            m_hooks.beforeShow(handle);
        Fill(menu, handle);
    });
    Fill(menu, handle);
    return menu;
}

void QtMenuMirror::Fill(QMenu *target, MenuHandle menu)
{
    // Lists of submenus and local actions belong to the menu; shared actions are only removed.
    for (QAction *action : target->actions()) {
        target->removeAction(action);
        if (QMenu *sub = action->menu())
            sub->deleteLater();
        else if (action->parent() == target)
            action->deleteLater();
    }
    const auto *items = m_menus.Items(menu);
    if (!items)
        return;
    for (size_t i = 0; i < items->size(); ++i) {
        const PlatformMenuItem &item = (*items)[i];
        const int position = static_cast<int>(i);
        if (item.IsOwnerDraw()) {
            const QString text = m_hooks.entryText ? m_hooks.entryText(menu, position) : QString();
            QAction *action = nullptr;
            if (item.IsSeparator())
                action = target->addSeparator();
            else if (item.IsPopup())
                action = target->addMenu(MakeMenu(text, item.id, target));
            else
                action = MakeAction(item, text, target);
            OwnerDrawMenu::SetPosition(action, position);
        } else if (item.IsSeparator()) {
            target->addSeparator();
        } else if (item.IsPopup()) {
            target->addMenu(MakeMenu(ToQt(item.text), item.id, target));
        } else if (QAction *shared =
                       m_hooks.commandAction ? m_hooks.commandAction(item.id) : nullptr;
                   shared && shared->text() == ToQt(item.text) && !item.IsGrayed()) {
            target->addAction(shared);
        } else {
            MakeAction(item, ToQt(item.text), target);
        }
    }
}

QAction *QtMenuMirror::MakeAction(const PlatformMenuItem &item, const QString &text, QMenu *target)
{
    auto *action = new QAction(text, target);
    action->setEnabled(!item.IsGrayed());
    action->setCheckable(item.IsChecked());
    action->setChecked(item.IsChecked());
    // The command's prompt shows in the status bar while the entry is highlighted.
    if (QAction *shared = m_hooks.commandAction ? m_hooks.commandAction(item.id) : nullptr)
        action->setStatusTip(shared->statusTip());
    else if (m_hooks.prompt)
        action->setStatusTip(m_hooks.prompt(item.id));
    const uint32_t id = item.id;
    connect(action, &QAction::triggered, this, [this, id] {
        if (m_hooks.run)
            m_hooks.run(id);
    });
    target->addAction(action);
    return action;
}

} // namespace ostrel
