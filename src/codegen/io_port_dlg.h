#pragma once

#include "codegen/generator_dlg.h"
#include "codegen/io_port_settings.h"

#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;

namespace ostrel {

// "Configure I/O Port": pull-up and direction bits of one port. Each Generate Code appends the
// port's two statements, so the code for several ports can be copied in one piece.
class CIoPortDlg : public CGeneratorDlg
{
    Q_OBJECT

public:
    CIoPortDlg(Clipboard &clipboard, QWidget *parent);

    IoPortSettings Settings() const;

protected:
    void Generate() override;

private:
    // Eight text-less boxes under the column labels 7 to 0; index n of the array is bit n.
    // `ids` are the boxes' control ids from left (bit 7) to right (bit 0).
    QGroupBox *CreateBitRow(const QString &title, const char *name,
        const std::array<uint16_t, 8> &ids, std::array<QCheckBox *, 8> &boxes);

    QComboBox *m_port;
    std::array<QCheckBox *, 8> m_direction {};
    std::array<QCheckBox *, 8> m_pullUp {};
};

} // namespace ostrel
