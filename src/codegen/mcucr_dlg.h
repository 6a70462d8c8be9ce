#pragma once

#include "codegen/generator_dlg.h"
#include "codegen/mcucr_settings.h"

class QCheckBox;
class QComboBox;

namespace ostrel {

// "Configure MCU Control Register": external SRAM, sleep mode and the sense of INT0 and INT1
// of the non-mega chips, as the MCUCR statement.
class CMcucrDlg : public CGeneratorDlg
{
    Q_OBJECT

public:
    CMcucrDlg(Clipboard &clipboard, QWidget *parent);

    McucrSettings Settings() const;

protected:
    void Generate() override;

private:
    QCheckBox *m_sre;
    QCheckBox *m_srw;
    QComboBox *m_sleepMode;
    QComboBox *m_sense0;
    QComboBox *m_sense1;
};

} // namespace ostrel
