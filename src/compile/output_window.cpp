#include "compile/output_window.h"

#include "compile/output_list_box.h"

#include <QResizeEvent>

namespace ostrel {

COutputWindow::COutputWindow(QWidget *owner)
    : QDialog(owner)
    , m_list(new COutputListBox(this))
{
    setWindowTitle(QStringLiteral("Compiler Output Window"));
    setSizeGripEnabled(false);
    setModal(false);
    connect(m_list, &COutputListBox::entryChosen, this, &COutputWindow::navigateRequested);
    m_list->setGeometry(rect());
    m_list->setFocus();
}

void COutputWindow::SetResult(std::shared_ptr<const BuildResult> result)
{
    m_list->SetResult(std::move(result));
}

const BuildResult &COutputWindow::Result() const
{
    return m_list->Result();
}

void COutputWindow::GoToEntry(int row)
{
    if (row < 0 || row >= m_list->count())
        return;
    m_list->setCurrentRow(row);
    m_list->scrollTo(m_list->currentIndex());
    emit navigateRequested(row);
}

void COutputWindow::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    m_list->setGeometry(rect());
}

} // namespace ostrel
