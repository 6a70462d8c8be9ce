#pragma once

#include "codegen/generator_dlg.h"
#include "codegen/interrupt_mask_settings.h"

class QCheckBox;

namespace ostrel {

// "Configure Interrupt Mask Registers": which external and timer interrupts to enable, as the
// GIMSK and TIMSK statements.
class CInterruptMaskDlg : public CGeneratorDlg
{
    Q_OBJECT

public:
    CInterruptMaskDlg(Clipboard &clipboard, QWidget *parent);

    InterruptMaskSettings Settings() const;

protected:
    void Generate() override;

private:
    QCheckBox *m_int1;
    QCheckBox *m_int0;
    QCheckBox *m_toie1;
    QCheckBox *m_ocie1a;
    QCheckBox *m_ocie1b;
    QCheckBox *m_ticie1;
    QCheckBox *m_toie0;
};

} // namespace ostrel
