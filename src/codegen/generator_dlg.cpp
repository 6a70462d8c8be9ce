#include "codegen/generator_dlg.h"

#include "platform/clipboard.h"
#include "platform/qt_services.h"
#include "res/register_help.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace ostrel {

CGeneratorDlg::CGeneratorDlg(
    Clipboard &clipboard, QWidget *parent, const QString &caption, bool systemMenu)
    : QDialog(parent)
    , m_clipboard(clipboard)
{
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (systemMenu)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    setWindowFlags(flags);
    setWindowTitle(caption);
}

QLayout *CGeneratorDlg::CreateCodeArea(const ButtonTexts &texts)
{
    auto *generate = new QPushButton(texts.generate, this);
    generate->setObjectName(QStringLiteral("generateCode"));
    connect(generate, &QPushButton::clicked, this, [this] {
        Generate();
    });

    // Read-only and disabled from the start: it shows the text greyed and takes neither
    // focus nor selection.
    m_codeBox = new QPlainTextEdit(this);
    m_codeBox->setObjectName(QStringLiteral("generatedCode"));
    m_codeBox->setAccessibleName(QStringLiteral("Generated code"));
    m_codeBox->setReadOnly(true);
    m_codeBox->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_codeBox->setEnabled(false);

    auto *copy = new QPushButton(texts.copy, this);
    copy->setObjectName(QStringLiteral("copyToClipboard"));
    connect(copy, &QPushButton::clicked, this, &CGeneratorDlg::CopyToClipboard);

    auto *close = new QPushButton(texts.close, this);
    close->setObjectName(QStringLiteral("close"));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto *codeColumn = new QVBoxLayout;
    if (!texts.codeCaption.isEmpty()) {
        auto *caption = new QLabel(texts.codeCaption, this);
        caption->setObjectName(QStringLiteral("codeCaption"));
        codeColumn->addWidget(caption);
    }
    codeColumn->addWidget(m_codeBox);

    auto *codeRow = new QHBoxLayout;
    codeRow->addWidget(generate, 0, Qt::AlignTop);
    codeRow->addLayout(codeColumn, 1);

    auto *buttonRow = new QHBoxLayout;
    buttonRow->addWidget(copy);
    buttonRow->addStretch(1);
    buttonRow->addWidget(close);

    auto *area = new QVBoxLayout;
    area->addLayout(codeRow);
    area->addLayout(buttonRow);
    return area;
}

void CGeneratorDlg::ShowCode(const std::string &code)
{
    m_code = code;
    // The box splits lines at "\n" alone; it would show "\r\n" as two breaks.
    m_codeBox->setPlainText(ToQt(code).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

void CGeneratorDlg::CopyToClipboard()
{
    m_clipboard.SetText(m_code);
}

void SetRegisterHelp(QWidget *control, uint16_t dialogId, uint16_t controlId)
{
    if (const RegisterHelp *help = FindRegisterHelp(dialogId, controlId)) {
        control->setToolTip(QString::fromUtf8(help->tooltip));
        control->setWhatsThis(QString::fromUtf8(help->whatsThis));
    }
}

void AddLabel(QGridLayout *grid, const QString &text, int row, int column)
{
    grid->addWidget(new QLabel(text), row, column);
}

} // namespace ostrel
