#include "codegen/generator_commands.h"

#include "codegen/interrupt_mask_dlg.h"
#include "codegen/io_port_dlg.h"
#include "codegen/mcucr_dlg.h"
#include "codegen/uart_dlg.h"

namespace ostrel {

namespace {

template <typename Dialog> void RunModal(QWidget *mainWindow, Clipboard &clipboard)
{
    Dialog dialog(clipboard, mainWindow);
    dialog.exec();
}

} // namespace

bool RunGeneratorDialog(CommandId id, QWidget *mainWindow, Clipboard &clipboard)
{
    switch (id) {
    case CommandId::InterruptMasks:
        RunInterruptMaskDialog(mainWindow, clipboard);
        return true;
    case CommandId::IoPinsDirection:
        RunIoPortDialog(mainWindow, clipboard);
        return true;
    case CommandId::McucrSettings:
        RunMcucrDialog(mainWindow, clipboard);
        return true;
    case CommandId::UartSettings:
        RunUartDialog(mainWindow, clipboard);
        return true;
    default:
        return false;
    }
}

void RunInterruptMaskDialog(QWidget *mainWindow, Clipboard &clipboard)
{
    RunModal<CInterruptMaskDlg>(mainWindow, clipboard);
}

void RunIoPortDialog(QWidget *mainWindow, Clipboard &clipboard)
{
    RunModal<CIoPortDlg>(mainWindow, clipboard);
}

void RunMcucrDialog(QWidget *mainWindow, Clipboard &clipboard)
{
    RunModal<CMcucrDlg>(mainWindow, clipboard);
}

void RunUartDialog(QWidget *mainWindow, Clipboard &clipboard)
{
    RunModal<CUartDlg>(mainWindow, clipboard);
}

} // namespace ostrel
