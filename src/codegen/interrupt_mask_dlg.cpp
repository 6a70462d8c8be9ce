#include "codegen/interrupt_mask_dlg.h"

#include "res/register_help.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QVBoxLayout>

namespace ostrel {

namespace {

// One row: the check box (no text of its own), the bit name and the description.
QCheckBox *AddBitRow(QGridLayout *grid, uint16_t id, const char *objectName, const QString &bitName,
    const QString &description)
{
    const int row = grid->rowCount();
    auto *box = new QCheckBox;
    box->setObjectName(QString::fromLatin1(objectName));
    box->setAccessibleName(bitName.trimmed() + QLatin1Char(' ') + description);
    SetRegisterHelp(box, kInterruptMaskDialogId, id);
    grid->addWidget(box, row, 0);
    AddLabel(grid, bitName, row, 1);
    AddLabel(grid, description, row, 2);
    grid->setColumnStretch(2, 1);
    return box;
}

} // namespace

CInterruptMaskDlg::CInterruptMaskDlg(Clipboard &clipboard, QWidget *parent)
    : CGeneratorDlg(clipboard, parent, QStringLiteral("Configure Interrupt Mask Registers"), true)
{
    auto *gimsk = new QGroupBox(QStringLiteral("Set GIMSK bits (Check to Enable Interrupt)"), this);
    auto *gimskGrid = new QGridLayout(gimsk);
    m_int1 = AddBitRow(gimskGrid, 1062, "int1", QStringLiteral("INT1  "),
        QStringLiteral("External Interrupt Request 1 Enable"));
    m_int0 = AddBitRow(gimskGrid, 1063, "int0", QStringLiteral("INT0"),
        QStringLiteral("External Interrupt Request 0 Enable"));

    auto *timsk = new QGroupBox(QStringLiteral("Set TIMSK bits (Check to Enable Interrupt)"), this);
    auto *timskGrid = new QGridLayout(timsk);
    m_toie1 = AddBitRow(timskGrid, 1064, "toie1", QStringLiteral("TOIE1"),
        QStringLiteral("Timer/Counter1 Overflow Interrupt Enable"));
    m_ocie1a = AddBitRow(timskGrid, 1065, "ocie1a", QStringLiteral("OCE1A"),
        QStringLiteral("Timer/Counter1 Output CompareA Match Interrupt Enable"));
    m_ocie1b = AddBitRow(timskGrid, 1066, "ocie1b", QStringLiteral("OCIE1B"),
        QStringLiteral("Timer/Counter1 Output CompareB Match Interrupt Enable"));
    m_ticie1 = AddBitRow(timskGrid, 1067, "ticie1", QStringLiteral("TICIE1"),
        QStringLiteral("Timer/Counter1 Input Capture Interrupt Enable"));
    m_toie0 = AddBitRow(timskGrid, 1068, "toie0", QStringLiteral("TOIE0"),
        QStringLiteral("Timer/Counter0 Overflow Interrupt Enable"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(gimsk);
    layout->addWidget(timsk);
    layout->addLayout(
        CreateCodeArea({ QStringLiteral("&Generate Code"), QStringLiteral("Generated Code"),
            QStringLiteral("&Add to Clipboard"), QStringLiteral("&Close") }));
}

InterruptMaskSettings CInterruptMaskDlg::Settings() const
{
    InterruptMaskSettings settings;
    settings.int1 = m_int1->isChecked();
    settings.int0 = m_int0->isChecked();
    settings.toie1 = m_toie1->isChecked();
    settings.ocie1a = m_ocie1a->isChecked();
    settings.ocie1b = m_ocie1b->isChecked();
    settings.ticie1 = m_ticie1->isChecked();
    settings.toie0 = m_toie0->isChecked();
    return settings;
}

void CInterruptMaskDlg::Generate()
{
    ShowCode(GenerateInterruptMaskCode(Settings()));
}

} // namespace ostrel
