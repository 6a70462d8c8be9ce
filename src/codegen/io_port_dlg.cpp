#include "codegen/io_port_dlg.h"

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

CIoPortDlg::CIoPortDlg(Clipboard &clipboard, QWidget *parent)
    : CGeneratorDlg(clipboard, parent, QStringLiteral("Configure I/O Port"), true)
{
    m_port = new QComboBox(this);
    m_port->setObjectName(QStringLiteral("port"));
    m_port->setAccessibleName(QStringLiteral("Select Port"));
    for (const char *name : kIoPortNames)
        m_port->addItem(QString::fromLatin1(name));
    m_port->setCurrentIndex(0);
    SetRegisterHelp(m_port, kIoPortDialogId, 1105);

    auto *portRow = new QHBoxLayout;
    portRow->addWidget(new QLabel(QStringLiteral("Select Port"), this));
    portRow->addWidget(m_port);
    portRow->addStretch(1);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(portRow);
    layout->addWidget(CreateBitRow(QStringLiteral("Direction Bits (Check to mark as O/P)"),
        "direction", { 1106, 1107, 1108, 1088, 1089, 1090, 1091, 1092 }, m_direction));
    layout->addWidget(CreateBitRow(QStringLiteral("Port Bits (Check to Enable pull-up)"), "pullUp",
        { 1022, 1023, 1024, 1025, 1026, 1027, 1028, 1029 }, m_pullUp));
    layout->addLayout(
        CreateCodeArea({ QStringLiteral("&Generate Code"), QStringLiteral("Generated code:"),
            QStringLiteral("&Copy To Clipboard"), QStringLiteral("&Close") }));
    CodeBox()->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

QGroupBox *CIoPortDlg::CreateBitRow(const QString &title, const char *name,
    const std::array<uint16_t, 8> &ids, std::array<QCheckBox *, 8> &boxes)
{
    auto *group = new QGroupBox(title, this);
    auto *grid = new QGridLayout(group);
    AddLabel(grid, QStringLiteral("MSB"), 0, 0);
    AddLabel(grid, QStringLiteral("LSB"), 0, 7);
    for (int column = 0; column < 8; ++column) {
        const int bit = 7 - column;
        AddLabel(grid, QString::number(bit), 1, column);
        auto *box = new QCheckBox(group);
        box->setObjectName(QString::fromLatin1(name) + QString::number(bit));
        box->setAccessibleName(title + QStringLiteral(" bit ") + QString::number(bit));
        SetRegisterHelp(box, kIoPortDialogId, ids[static_cast<size_t>(column)]);
        grid->addWidget(box, 2, column);
        boxes[static_cast<size_t>(bit)] = box;
    }
    return group;
}

IoPortSettings CIoPortDlg::Settings() const
{
    IoPortSettings settings;
    settings.port = m_port->currentIndex();
    for (size_t n = 0; n < 8; ++n) {
        settings.pullUp[n] = m_pullUp[n]->isChecked();
        settings.direction[n] = m_direction[n]->isChecked();
    }
    return settings;
}

void CIoPortDlg::Generate()
{
    ShowCode(GeneratedText() + GenerateIoPortCode(Settings()));
}

} // namespace ostrel
