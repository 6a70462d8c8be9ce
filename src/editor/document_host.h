#pragma once

#include <cstdint>
#include <string>

namespace ostrel {

class Clipboard;
class FileDialogs;
class MessageBoxes;
class Printing;
class ProcessLauncher;

// The platform services a source document and its views use.
struct DocumentServices
{
    MessageBoxes &messages;
    FileDialogs &fileDialogs;
    Clipboard &clipboard;
    Printing &printing;
    ProcessLauncher &processes;
};

// What a source document needs of the application around it, beyond the platform services.
class DocumentHost
{
public:
    virtual ~DocumentHost() = default;
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
