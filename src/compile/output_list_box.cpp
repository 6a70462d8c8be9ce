#include "compile/output_list_box.h"

#include "compile/message_list_model.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace ostrel {

COutputListBox::COutputListBox(QWidget *parent)
    : QListView(parent)
    , m_model(new MessageListModel(this))
{
    setObjectName(QStringLiteral("MyListBox"));
    setAccessibleName(QStringLiteral("Compiler messages"));
    setModel(m_model);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // All entries are one line high: long lists are laid out without measuring each entry.
    setUniformItemSizes(true);
}

void COutputListBox::SetResult(std::shared_ptr<const BuildResult> result)
{
    m_model->SetResult(std::move(result), font());
}

const BuildResult &COutputListBox::Result() const
{
    return m_model->Result();
}

int COutputListBox::count() const
{
    return m_model->rowCount();
}

int COutputListBox::currentRow() const
{
    return currentIndex().isValid() ? currentIndex().row() : -1;
}

void COutputListBox::setCurrentRow(int row)
{
    setCurrentIndex(m_model->index(row));
}

QRect COutputListBox::EntryRect(int row) const
{
    return visualRect(m_model->index(row));
}

void COutputListBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    QListView::mouseDoubleClickEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid())
        return;
    setCurrentIndex(index);
    emit entryChosen(index.row());
}

void COutputListBox::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        const QModelIndex index = currentIndex();
        if (index.isValid() && selectionModel()->isSelected(index))
            emit entryChosen(index.row());
        return;
    }
    QListView::keyPressEvent(event);
}

} // namespace ostrel
