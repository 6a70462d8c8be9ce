#pragma once

#include "menus/platform_menus.h"

#include <QMenu>

#include <functional>
#include <optional>

class QStyleOptionMenuItem;

namespace ostrel {

// A drop-down list of the menu model whose owner-drawn entries the owner measures and draws
// (through the application's menu style) and whose typed characters the owner answers. Each
// entry keeps its text in its QAction, for screen readers and keyboard navigation.
class OwnerDrawMenu : public QMenu
{
    Q_OBJECT

public:
    struct Hooks
    {
        std::function<QSize(MenuHandle list, int position)> measure;
        std::function<void(
            MenuHandle list, int position, QPainter &painter, const QRect &rect, bool selected)>
            draw;
        // The menu-character answer: the position to choose in the low word and 2 in the high
        // word, or 0 to ignore the key.
        std::function<uint32_t(MenuHandle list, uint32_t character)> menuChar;
    };

    OwnerDrawMenu(const QString &title, MenuHandle handle, Hooks hooks, QWidget *parent);

    MenuHandle Handle() const { return m_handle; }
    // Marks an action as the owner-drawn entry at `position` of the list.
    static void SetPosition(QAction *action, int position);
    // -1 for an action that is not owner-drawn.
    static int PositionOf(const QAction *action);

    // For the style: nothing when the option is not of an owner-drawn entry of this list.
    std::optional<QSize> MeasureEntry(const QStyleOptionMenuItem &option) const;
    bool DrawEntry(const QStyleOptionMenuItem &option, QPainter &painter) const;

protected:
    void initStyleOption(QStyleOptionMenuItem *option, const QAction *action) const override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QAction *ActionAt(int position) const;
    int PositionIn(const QStyleOptionMenuItem &option) const;

    MenuHandle m_handle;
    Hooks m_hooks;
};

} // namespace ostrel
