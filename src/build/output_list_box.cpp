#include "build/output_list_box.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace ostrel {

COutputListBox::COutputListBox(QWidget *parent)
    : QListWidget(parent)
{
    setObjectName(QStringLiteral("MyListBox"));
    setAccessibleName(QStringLiteral("Compiler messages"));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // All entries are one line high: long lists are laid out without measuring each entry.
    setUniformItemSizes(true);
}

void COutputListBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    QListWidget::mouseDoubleClickEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    QListWidgetItem *item = itemAt(event->position().toPoint());
    if (!item)
        return;
    setCurrentItem(item);
    emit entryChosen(row(item));
}

void COutputListBox::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (QListWidgetItem *item = currentItem(); item && item->isSelected())
            emit entryChosen(row(item));
        return;
    }
    QListWidget::keyPressEvent(event);
}

} // namespace ostrel
