#include "codegen/uart_dlg.h"

#include "codegen/baud_figures.h"
#include "platform/qt_services.h"
#include "res/register_help.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace ostrel {

CUartDlg::CUartDlg(Clipboard &clipboard, QWidget *parent)
    : CGeneratorDlg(clipboard, parent, QStringLiteral("UART Setting"), false)
{
    const UartSettings initial;

    m_clock = new QLineEdit(ToQt(initial.clockText), this);
    m_clock->setObjectName(QStringLiteral("clock"));
    m_clock->setAccessibleName(QStringLiteral("Enter Clock Frequency"));

    m_baudRate = new QComboBox(this);
    m_baudRate->setObjectName(QStringLiteral("baudRate"));
    m_baudRate->setAccessibleName(QStringLiteral("Select Baud Rate"));
    for (const char *rate : kUartBaudRates)
        m_baudRate->addItem(QString::fromLatin1(rate));
    m_baudRate->setCurrentIndex(kUartDefaultBaudIndex);
    SetRegisterHelp(m_clock, kUartDialogId, 1000);
    SetRegisterHelp(m_baudRate, kUartDialogId, 1001);

    auto *rates = new QGridLayout;
    rates->addWidget(new QLabel(QStringLiteral("Enter Clock Frequency"), this), 0, 0);
    rates->addWidget(m_clock, 0, 1);
    rates->addWidget(new QLabel(QStringLiteral("MHz"), this), 0, 2);
    rates->addWidget(new QLabel(QStringLiteral("Select Baud Rate"), this), 1, 0);
    rates->addWidget(m_baudRate, 1, 1);
    m_baudFigures = new QLabel(this);
    m_baudFigures->setObjectName(QStringLiteral("baudFigures"));
    m_baudVerdict = new QLabel(this);
    m_baudVerdict->setObjectName(QStringLiteral("baudVerdict"));
    rates->addWidget(m_baudFigures, 2, 0, 1, 4);
    rates->addWidget(m_baudVerdict, 3, 0, 1, 4);
    rates->setColumnStretch(3, 1);
    connect(m_clock, &QLineEdit::textChanged, this, &CUartDlg::UpdateBaudFigures);
    connect(m_baudRate, &QComboBox::currentIndexChanged, this, &CUartDlg::UpdateBaudFigures);
    UpdateBaudFigures();

    auto *group = new QGroupBox(QStringLiteral("Set UCR bits (Check to Set bit)"), this);
    m_bits = new QGridLayout(group);
    m_rxcie = AddBitRow(1002, "rxcie", QStringLiteral("RXCIE"),
        QStringLiteral("RX Complete Interrupt Enable"), initial.rxcie);
    m_txcie = AddBitRow(1003, "txcie", QStringLiteral("TXCIE"),
        QStringLiteral("TX Complete Interrupt Enable"), initial.txcie);
    m_udrie = AddBitRow(1004, "udrie", QStringLiteral("UDRIE"),
        QStringLiteral("UART Data Register Empty Interrupt Enable"), initial.udrie);
    m_rxe = AddBitRow(
        1005, "rxe", QStringLiteral("RXE"), QStringLiteral("Receiver Enable"), initial.rxe);
    m_txe = AddBitRow(
        1006, "txe", QStringLiteral("TXE"), QStringLiteral("Transmitter Enable"), initial.txe);
    m_chr9 = AddBitRow(1007, "chr9", QStringLiteral("CHR9"),
        QStringLiteral("9 - Bit Character to be received/transmitted"), initial.chr9);
    m_txd8 = AddBitRow(
        1016, "txd8", QStringLiteral("TXD8"), QStringLiteral("Transmit Data Bit 8"), initial.txd8);
    m_bits->setColumnStretch(1, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(rates);
    layout->addWidget(group);
    layout->addLayout(
        CreateCodeArea({ QStringLiteral("&Generate Code"), QStringLiteral("Generated Code:"),
            QStringLiteral("Co&py To Clipboard"), QStringLiteral("&Close") }));
    m_clock->setFocus();
}

QCheckBox *CUartDlg::AddBitRow(uint16_t id, const char *objectName, const QString &bitName,
    const QString &description, bool checked)
{
    const int row = m_bits->rowCount();
    auto *box = new QCheckBox(bitName);
    box->setObjectName(QString::fromLatin1(objectName));
    box->setAccessibleName(bitName + QLatin1Char(' ') + description);
    box->setChecked(checked);
    SetRegisterHelp(box, kUartDialogId, id);
    m_bits->addWidget(box, row, 0);
    AddLabel(m_bits, description, row, 1);
    return box;
}

namespace {

// Green, amber or red, dark on a light window and light on a dark one.
QColor VerdictColour(BaudVerdict verdict, const QPalette &palette)
{
    const int hue = verdict == BaudVerdict::Good ? 120 : verdict == BaudVerdict::Usable ? 38 : 0;
    const bool darkWindow = palette.color(QPalette::Window).lightness() < 128;
    return QColor::fromHsl(hue, 200, darkWindow ? 170 : 80);
}

} // namespace

void CUartDlg::UpdateBaudFigures()
{
    const auto figures =
        ComputeBaudFigures(FromQt(m_clock->text()), FromQt(m_baudRate->currentText()));
    if (!figures) {
        m_baudFigures->clear();
        m_baudVerdict->clear();
        return;
    }
    const BaudFigureTexts texts = DescribeBaudFigures(*figures);
    m_baudFigures->setText(ToQt(texts.figures));
    m_baudVerdict->setText(ToQt(texts.verdict));
    QPalette palette = m_baudVerdict->palette();
    palette.setColor(QPalette::WindowText, VerdictColour(figures->verdict, palette));
    m_baudVerdict->setPalette(palette);
}

UartSettings CUartDlg::Settings() const
{
    UartSettings settings;
    settings.clockText = FromQt(m_clock->text());
    settings.baudText = FromQt(m_baudRate->currentText());
    settings.rxcie = m_rxcie->isChecked();
    settings.txcie = m_txcie->isChecked();
    settings.udrie = m_udrie->isChecked();
    settings.rxe = m_rxe->isChecked();
    settings.txe = m_txe->isChecked();
    settings.chr9 = m_chr9->isChecked();
    settings.txd8 = m_txd8->isChecked();
    return settings;
}

void CUartDlg::Generate()
{
    ShowCode(GenerateUartCode(Settings()));
}

} // namespace ostrel
