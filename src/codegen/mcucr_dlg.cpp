#include "codegen/mcucr_dlg.h"

#include "res/register_help.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace ostrel {

namespace {

// The three entries of a sense list; the low-level entry has two blanks before "generates".
QStringList SenseEntries(const QString &pin)
{
    return { QStringLiteral("The low level of %1  generates an interrupt request").arg(pin),
        QStringLiteral("The falling edge of %1 generates an interrupt request").arg(pin),
        QStringLiteral("The rising edge of %1 generates an interrupt request").arg(pin) };
}

QComboBox *CreateList(
    const char *objectName, const QString &accessibleName, const QStringList &entries)
{
    auto *list = new QComboBox;
    list->setObjectName(QString::fromLatin1(objectName));
    list->setAccessibleName(accessibleName);
    list->addItems(entries);
    list->setCurrentIndex(0);
    return list;
}

QCheckBox *CreateBitBox(const char *objectName, const QString &accessibleName)
{
    auto *box = new QCheckBox;
    box->setObjectName(QString::fromLatin1(objectName));
    box->setAccessibleName(accessibleName);
    return box;
}

// A row: the bit label, the control, then the bit name and its description.
void AddBitRow(QGridLayout *grid, const QString &bits, QWidget *control, const QString &name,
    const QString &description)
{
    const int row = grid->rowCount();
    AddLabel(grid, bits, row, 0);
    grid->addWidget(control, row, 1);
    AddLabel(grid, name, row, 2);
    AddLabel(grid, description, row, 3);
}

// A sense list under its heading, with the two bit labels at its left.
void AddSenseRows(QGridLayout *grid, const QString &heading, const QString &highBit,
    const QString &lowBit, QComboBox *list)
{
    const int row = grid->rowCount();
    grid->addWidget(new QLabel(heading), row, 1, 1, 3);
    auto *bits = new QHBoxLayout;
    bits->addWidget(new QLabel(highBit));
    bits->addWidget(new QLabel(lowBit));
    grid->addLayout(bits, row + 1, 0);
    grid->addWidget(list, row + 1, 1, 1, 3);
}

} // namespace

CMcucrDlg::CMcucrDlg(Clipboard &clipboard, QWidget *parent)
    : CGeneratorDlg(clipboard, parent, QStringLiteral("Configure MCU Control Register"), true)
{
    m_sre = CreateBitBox("sre", QStringLiteral("SRE External SRAM Enable"));
    m_srw = CreateBitBox("srw", QStringLiteral("SRW External SRAM Wait State"));
    // The sleep-mode list is sorted; its two entries already stand in alphabetical order.
    m_sleepMode = CreateList("sleepMode", QStringLiteral("SM Sleep Mode"),
        { QStringLiteral("Idel Mode"), QStringLiteral("Power Down Mode") });
    m_sense0 = CreateList("sense0", QStringLiteral("Interrupt Sense Control 0"),
        SenseEntries(QStringLiteral("INT0")));
    m_sense1 = CreateList("sense1", QStringLiteral("Interrupt Sense Control 1"),
        SenseEntries(QStringLiteral("INT1")));
    SetRegisterHelp(m_sre, kMcucrDialogId, 1085);
    SetRegisterHelp(m_srw, kMcucrDialogId, 1086);
    SetRegisterHelp(m_sleepMode, kMcucrDialogId, 1110);
    SetRegisterHelp(m_sense0, kMcucrDialogId, 1111);
    SetRegisterHelp(m_sense1, kMcucrDialogId, 1108);

    auto *group = new QGroupBox(
        QStringLiteral("Set MCUCR bits (Use this dialog only for non-mega devices)"), this);
    auto *grid = new QGridLayout(group);
    AddBitRow(grid, QStringLiteral("Bit7"), m_sre, QStringLiteral("SRE"),
        QStringLiteral("External SRAM Enable"));
    AddBitRow(grid, QStringLiteral("Bit6"), m_srw, QStringLiteral("SRW"),
        QStringLiteral("External SRAM Wait State"));
    AddBitRow(grid, QStringLiteral("Bit4"), m_sleepMode, QStringLiteral("SM"),
        QStringLiteral("Sleep Mode"));
    AddSenseRows(grid, QStringLiteral("Interrupt Sense Control 0"), QStringLiteral("Bit1 &"),
        QStringLiteral("Bit0"), m_sense0);
    AddSenseRows(grid, QStringLiteral("Interrupt Sense Control 1"), QStringLiteral("Bit3 &"),
        QStringLiteral("Bit2"), m_sense1);
    grid->setColumnStretch(3, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(CreateCodeArea({ QStringLiteral("&Generate Code"), QString(),
        QStringLiteral("&Copy to Clipboard"), QStringLiteral("C&lose") }));
    // One statement, one line high.
    CodeBox()->setMaximumHeight(CodeBox()->fontMetrics().height() * 2 + 8);
}

McucrSettings CMcucrDlg::Settings() const
{
    McucrSettings settings;
    settings.sre = m_sre->isChecked();
    settings.srw = m_srw->isChecked();
    settings.sleepMode = m_sleepMode->currentIndex();
    settings.sense0 = m_sense0->currentIndex();
    settings.sense1 = m_sense1->currentIndex();
    return settings;
}

void CMcucrDlg::Generate()
{
    ShowCode(GenerateMcucrCode(Settings()));
}

} // namespace ostrel
