#include "editor/tab_size_dlg.h"

#include "platform/message_boxes.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace ostrel {

CTabSizeDlg::CTabSizeDlg(int tabSize, MessageBoxes &messages, QWidget *parent)
    : QDialog(parent)
    , m_messages(messages)
    , m_edit(new QLineEdit(QString::number(tabSize), this))
    , m_tabSize(tabSize)
{
    setWindowTitle(QStringLiteral("Change Tab size"));
    m_edit->setObjectName(QStringLiteral("tabSize"));
    m_edit->setAccessibleName(QStringLiteral("Tab Size"));
    m_edit->selectAll();
    auto *label = new QLabel(QStringLiteral("Tab Size"), this);
    label->setBuddy(m_edit);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CTabSizeDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CTabSizeDlg::reject);
    auto *row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(m_edit);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
}

std::optional<int> CTabSizeDlg::ParseTabSize(const QString &text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (!ok || value < 0 || value > kMaxTabSize)
        return std::nullopt;
    return value;
}

void CTabSizeDlg::accept()
{
    const std::optional<int> value = ParseTabSize(m_edit->text());
    if (!value) {
        bool isInteger = false;
        m_edit->text().trimmed().toLongLong(&isInteger, 10);
        // A negative or huge tab size would put the tab stops out of reach.
        m_messages.Show(MessageRequest { isInteger
                ? "Please enter an integer between 0 and " + std::to_string(kMaxTabSize) + "."
                : std::string("Please enter an integer.") });
        m_edit->setFocus();
        m_edit->selectAll();
        return;
    }
    m_tabSize = *value;
    QDialog::accept();
}

} // namespace ostrel
