#include "menus/owner_draw_menu.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionMenuItem>
#include <QVariant>

namespace ostrel {

namespace {

constexpr const char *kPositionProperty = "ownerDrawPosition";
constexpr uint32_t kExecute = 2;

} // namespace

OwnerDrawMenu::OwnerDrawMenu(const QString &title, MenuHandle handle, Hooks hooks, QWidget *parent)
    : QMenu(title, parent)
    , m_handle(handle)
    , m_hooks(std::move(hooks))
{
}

void OwnerDrawMenu::SetPosition(QAction *action, int position)
{
    action->setProperty(kPositionProperty, position);
}

int OwnerDrawMenu::PositionOf(const QAction *action)
{
    const QVariant position = action ? action->property(kPositionProperty) : QVariant();
    return position.isValid() ? position.toInt() : -1;
}

void OwnerDrawMenu::initStyleOption(QStyleOptionMenuItem *option, const QAction *action) const
{
    QMenu::initStyleOption(option, action);
    // The option names its action, so the style can hand the entry to its owner.
    if (PositionOf(action) >= 0)
        option->styleObject = const_cast<QAction *>(action);
}

int OwnerDrawMenu::PositionIn(const QStyleOptionMenuItem &option) const
{
    const auto *action = qobject_cast<const QAction *>(option.styleObject);
    return action && actions().contains(const_cast<QAction *>(action)) ? PositionOf(action) : -1;
}

std::optional<QSize> OwnerDrawMenu::MeasureEntry(const QStyleOptionMenuItem &option) const
{
    const int position = PositionIn(option);
    if (position < 0 || !m_hooks.measure)
        return std::nullopt;
    const QSize size = m_hooks.measure(m_handle, position);
    // A menu leaves out entries of no width; every entry gets the list's width anyway.
    return QSize(std::max(size.width(), 1), size.height());
}

bool OwnerDrawMenu::DrawEntry(const QStyleOptionMenuItem &option, QPainter &painter) const
{
    const int position = PositionIn(option);
    if (position < 0 || !m_hooks.draw)
        return false;
    m_hooks.draw(
        m_handle, position, painter, option.rect, option.state.testFlag(QStyle::State_Selected));
    return true;
}

QAction *OwnerDrawMenu::ActionAt(int position) const
{
    for (QAction *action : actions())
        if (PositionOf(action) == position)
            return action;
    return nullptr;
}

void OwnerDrawMenu::keyPressEvent(QKeyEvent *event)
{
    const QString text = event->text();
    // Characters go to the owner; navigation keys (the space bar included) stay the menu's.
    const bool typed = text.size() == 1 && text[0].isPrint() && !text[0].isSpace()
        && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (!typed || !m_hooks.menuChar) {
        QMenu::keyPressEvent(event);
        return;
    }
    event->accept();
    const uint32_t answer = m_hooks.menuChar(m_handle, text[0].unicode());
    if ((answer >> 16) != kExecute)
        return;
    QAction *chosen = ActionAt(static_cast<int>(answer & 0xFFFF));
    if (!chosen || !chosen->isEnabled())
        return;
    // Choose it as Return would: run the command and close the menus, or open the submenu.
    setActiveAction(chosen);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QMenu::keyPressEvent(&enter);
}

} // namespace ostrel
