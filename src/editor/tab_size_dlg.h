#pragma once

#include <QDialog>

#include <optional>

class QLineEdit;

namespace ostrel {

class MessageBoxes;

// "Change Tab size": one edit box holding the tab size. OK takes a whole number from 0 to
// kMaxTabSize; anything else is refused with a message and the dialog stays open.
class CTabSizeDlg : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kMaxTabSize = 128;

    CTabSizeDlg(int tabSize, MessageBoxes &messages, QWidget *parent = nullptr);

    int TabSize() const { return m_tabSize; }
    QLineEdit *Edit() const { return m_edit; }

    // The tab size written in `text`, or nothing when it is not a whole number in range.
    static std::optional<int> ParseTabSize(const QString &text);

    void accept() override;

private:
    MessageBoxes &m_messages;
    QLineEdit *m_edit;
    int m_tabSize;
};

} // namespace ostrel
