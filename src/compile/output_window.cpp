#include "compile/output_window.h"

#include "compile/message_line.h"
#include "compile/output_list_box.h"
#include "platform/message_boxes.h"

#include <QResizeEvent>

namespace ostrel {

COutputWindow::COutputWindow(QWidget *owner, MessageBoxes &messages)
    : QDialog(owner)
{
    setWindowTitle(QStringLiteral("Compiler Output Window"));
    setSizeGripEnabled(false);
    setModal(false);
    m_list = new (std::nothrow) COutputListBox(this);
    if (!m_list) {
        messages.Warn("Cannot create MyListBox");
        return;
    }
    connect(m_list, &COutputListBox::entryChosen, this, &COutputWindow::OnEntryChosen);
    m_list->setGeometry(rect());
    m_list->setFocus();
}

void COutputWindow::SetEntries(std::vector<std::string> entries)
{
    if (m_list)
        m_list->SetEntries(std::move(entries));
}

const std::vector<std::string> &COutputWindow::Entries() const
{
    static const std::vector<std::string> none;
    return m_list ? m_list->Entries() : none;
}

std::vector<int> COutputWindow::NavigableEntries() const
{
    std::vector<int> rows;
    const auto &entries = Entries();
    for (size_t i = 0; i < entries.size(); ++i)
        if (ParseMessageLocation(entries[i]))
            rows.push_back(static_cast<int>(i));
    return rows;
}

void COutputWindow::GoToEntry(int row)
{
    if (!m_list || row < 0 || row >= m_list->count())
        return;
    m_list->setCurrentRow(row);
    m_list->scrollTo(m_list->currentIndex());
    OnEntryChosen(row);
}

void COutputWindow::OnEntryChosen(int row)
{
    const auto &entries = Entries();
    if (row >= 0 && static_cast<size_t>(row) < entries.size())
        emit navigateRequested(entries[static_cast<size_t>(row)]);
}

void COutputWindow::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    if (m_list)
        m_list->setGeometry(rect());
}

} // namespace ostrel
