#pragma once

#include "codegen/generator_dlg.h"
#include "codegen/uart_settings.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;

namespace ostrel {

// "UART Setting": the baud-rate register from the clock and the baud rate, and the UART
// control register from seven bits. It has no system menu.
class CUartDlg : public CGeneratorDlg
{
    Q_OBJECT

public:
    CUartDlg(Clipboard &clipboard, QWidget *parent);

    UartSettings Settings() const;

    // Close and Enter end the dialog the way Escape does.
    void accept() override { reject(); }

protected:
    void Generate() override;

private:
    QCheckBox *AddBitRow(uint16_t id, const char *objectName, const QString &bitName,
        const QString &description, bool checked);
    // The baud rate the UART really runs at, its error and a coloured verdict, kept up to date
    // while the clock is typed and the rate chosen.
    void UpdateBaudFigures();

    QLineEdit *m_clock;
    QComboBox *m_baudRate;
    QLabel *m_baudFigures;
    QLabel *m_baudVerdict;
    QGridLayout *m_bits;
    QCheckBox *m_rxcie;
    QCheckBox *m_txcie;
    QCheckBox *m_udrie;
    QCheckBox *m_rxe;
    QCheckBox *m_txe;
    QCheckBox *m_chr9;
    QCheckBox *m_txd8;
};

} // namespace ostrel
