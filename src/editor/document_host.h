#pragma once

#include <string>

namespace ostrel {

class Clipboard;
class FileDialogs;
class MessageBoxes;
class Printing;

// What a source document needs of the application around it.
class DocumentHost
{
public:
    virtual ~DocumentHost() = default;
    virtual MessageBoxes &Messages() = 0;
    virtual FileDialogs &Dialogs() = 0;
    virtual Clipboard &SystemClipboard() = 0;
    virtual Printing &Printer() = 0;
    // Every file opened into a document is remembered for the next start.
    virtual void RecordOpenedFile(const std::string &path) = 0;
    // A document now has this path (opened or saved under a new name).
    virtual void AddToRecentFiles(const std::string &path) = 0;
};

} // namespace ostrel
