#pragma once

#include <cstdint>
#include <string>

namespace ostrel {

class Clipboard;
class FileDialogs;
class MessageBoxes;
class Printing;
class ProcessLauncher;

// What a source document needs of the application around it.
class DocumentHost
{
public:
    virtual ~DocumentHost() = default;
    virtual MessageBoxes &Messages() = 0;
    virtual FileDialogs &Dialogs() = 0;
    virtual Clipboard &SystemClipboard() = 0;
    virtual Printing &Printer() = 0;
    virtual ProcessLauncher &Processes() = 0;
    // Whether the desktop's mail program can be started (asked once per run).
    virtual bool CanSendMail() = 0;
    // Every file opened into a document is remembered for the next start.
    virtual void RecordOpenedFile(const std::string &path) = 0;
    // A document now has this path (opened or saved under a new name).
    virtual void AddToRecentFiles(const std::string &path) = 0;
    // The caret line of the active view in the status bar and the project's name in the
    // project box.
    virtual void RefreshIndicators() = 0;
    // Shows the first drop-down list of menu resource `menuId` at the screen position, its
    // commands routed through the active view.
    virtual void ShowPopupMenu(uint16_t menuId, int x, int y) = 0;
};

} // namespace ostrel
