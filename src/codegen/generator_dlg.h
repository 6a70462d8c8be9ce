#pragma once

#include <QDialog>

#include <cstdint>
#include <string>

class QGridLayout;
class QLayout;
class QPlainTextEdit;
class QPushButton;

namespace ostrel {

class Clipboard;

// What the four register dialogs share: a disabled box that shows the generated code, the
// Generate Code button beside it, the copy button and the default Close button. A subclass
// builds its settings controls above and supplies the generation step.
class CGeneratorDlg : public QDialog
{
    Q_OBJECT

public:
    // The generated code exactly as the box shows it and the copy button copies it, with its
    // "\r\n" line ends.
    const std::string &GeneratedText() const { return m_code; }

protected:
    struct ButtonTexts
    {
        QString generate;
        QString codeCaption; // above the box; empty for none
        QString copy;
        QString close;
    };

    CGeneratorDlg(Clipboard &clipboard, QWidget *parent, const QString &caption, bool systemMenu);

    // The bottom part of the dialog, to be added below the settings controls.
    QLayout *CreateCodeArea(const ButtonTexts &texts);
    QPlainTextEdit *CodeBox() const { return m_codeBox; }

    // Reads the controls and shows the new text with ShowCode.
    virtual void Generate() = 0;
    void ShowCode(const std::string &code);

private:
    void CopyToClipboard();

    Clipboard &m_clipboard;
    QPlainTextEdit *m_codeBox = nullptr;
    std::string m_code;
};

// The control's tooltip and What's This text: the register bit it stands for on the chip.
void SetRegisterHelp(QWidget *control, uint16_t dialogId, uint16_t controlId);

// A static text in a cell of a settings grid.
void AddLabel(QGridLayout *grid, const QString &text, int row, int column);

} // namespace ostrel
