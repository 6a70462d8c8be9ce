#pragma once

#include "project/project_extension.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace ostrel {

// "Programmer Settings": the avrdude programmer (a list of common ones, or any id typed),
// its port, the bit clock and whether the EEPROM image is written too.
class CProgrammerSettingsDlg : public QDialog
{
    Q_OBJECT

public:
    CProgrammerSettingsDlg(const ProgrammerSettings &settings, QWidget *parent);

    // What the fields hold; blanks around the texts dropped.
    ProgrammerSettings Settings() const;

    QComboBox *Programmer() const { return m_programmer; }
    QLineEdit *Port() const { return m_port; }
    QLineEdit *BitClock() const { return m_bitClock; }
    QCheckBox *WriteEeprom() const { return m_eeprom; }

private:
    QComboBox *m_programmer;
    QLineEdit *m_port;
    QLineEdit *m_bitClock;
    QCheckBox *m_eeprom;
};

} // namespace ostrel
