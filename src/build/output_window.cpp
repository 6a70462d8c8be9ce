#include "build/output_window.h"

#include "build/message_line.h"
#include "build/output_list_box.h"
#include "platform/message_boxes.h"
#include "platform/qt_services.h"

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
    m_entries = std::move(entries);
    if (!m_list)
        return;
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(m_entries.size()));
    for (const std::string &entry : m_entries)
        texts.append(ToQt(entry));
    m_list->clear();
    m_list->addItems(texts);
}

std::vector<int> COutputWindow::NavigableEntries() const
{
    std::vector<int> rows;
    for (size_t i = 0; i < m_entries.size(); ++i)
        if (ParseMessageLocation(m_entries[i]))
            rows.push_back(static_cast<int>(i));
    return rows;
}

void COutputWindow::GoToEntry(int row)
{
    if (!m_list || row < 0 || row >= m_list->count())
        return;
    m_list->setCurrentRow(row);
    m_list->scrollToItem(m_list->item(row));
    OnEntryChosen(row);
}

void COutputWindow::OnEntryChosen(int row)
{
    if (row >= 0 && static_cast<size_t>(row) < m_entries.size())
        emit navigateRequested(m_entries[static_cast<size_t>(row)]);
}

void COutputWindow::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    if (m_list)
        m_list->setGeometry(rect());
}

} // namespace ostrel
