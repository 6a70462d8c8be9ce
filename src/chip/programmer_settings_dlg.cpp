#include "chip/programmer_settings_dlg.h"

#include "chip/avrdude_run.h"
#include "platform/qt_services.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace ostrel {

CProgrammerSettingsDlg::CProgrammerSettingsDlg(const ProgrammerSettings &settings, QWidget *parent)
    : QDialog(parent)
    , m_programmer(new QComboBox(this))
    , m_port(new QLineEdit(ToQt(settings.port), this))
    , m_bitClock(new QLineEdit(ToQt(settings.bitClock), this))
    , m_eeprom(new QCheckBox(tr("Write the &EEPROM image too (when it holds data)"), this))
{
    setWindowTitle(tr("Programmer Settings"));
    m_programmer->setEditable(true);
    for (const std::string &id : CommonProgrammers())
        m_programmer->addItem(ToQt(id));
    m_programmer->setCurrentText(ToQt(EffectiveProgrammer(settings)));
    m_port->setPlaceholderText(tr("the programmer's default (usb, /dev/ttyUSB0, ...)"));
    m_bitClock->setPlaceholderText(tr("the programmer's default (µs, or like 125kHz)"));
    m_eeprom->setChecked(settings.writeEeprom);

    auto *form = new QFormLayout;
    form->addRow(tr("&Programmer:"), m_programmer);
    form->addRow(tr("P&ort:"), m_port);
    form->addRow(tr("&Bit clock:"), m_bitClock);
    form->addRow(m_eeprom);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

ProgrammerSettings CProgrammerSettingsDlg::Settings() const
{
    ProgrammerSettings settings;
    settings.programmer = FromQt(m_programmer->currentText().trimmed());
    // The default is stored as an empty text, so a later default applies to the project too.
    if (settings.programmer == kDefaultProgrammer)
        settings.programmer.clear();
    settings.port = FromQt(m_port->text().trimmed());
    settings.bitClock = FromQt(m_bitClock->text().trimmed());
    settings.writeEeprom = m_eeprom->isChecked();
    return settings;
}

} // namespace ostrel
