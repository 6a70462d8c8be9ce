#include "codegen/generator_commands.h"

#include "codegen/interrupt_mask_dlg.h"
#include "codegen/io_port_dlg.h"
#include "codegen/mcucr_dlg.h"
#include "codegen/uart_dlg.h"

#include <cstdlib>

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

std::optional<int> RunUartDialog(QWidget *mainWindow, Clipboard &clipboard)
{
    CUartDlg dialog(clipboard, mainWindow);
    dialog.exec();
    if (dialog.GeneratedText().empty())
        return std::nullopt;
    return std::atoi(dialog.Settings().baudText.c_str());
}

} // namespace ostrel
