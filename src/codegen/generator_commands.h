#pragma once

#include "framework/command_ids.h"

#include <optional>

class QWidget;

namespace ostrel {

class Clipboard;

// The generator commands, 32787 to 32790: each runs its dialog modally over the main window,
// which takes no input until the dialog is closed. Every run starts from the dialog's
// initial settings; the dialog's result is of no interest. RunGeneratorDialog returns false
// for any other command.
bool RunGeneratorDialog(CommandId id, QWidget *mainWindow, Clipboard &clipboard);
void RunInterruptMaskDialog(QWidget *mainWindow, Clipboard &clipboard);
void RunIoPortDialog(QWidget *mainWindow, Clipboard &clipboard);
void RunMcucrDialog(QWidget *mainWindow, Clipboard &clipboard);
// The baud rate of the code the user generated, when the dialog generated any.
std::optional<int> RunUartDialog(QWidget *mainWindow, Clipboard &clipboard);

} // namespace ostrel
