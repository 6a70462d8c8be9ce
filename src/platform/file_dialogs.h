#pragma once

#include <optional>
#include <string>
#include <vector>

namespace ostrel {

// A file open or save dialog. `filter` uses the "description|pattern|...||" form,
// patterns separated by ";".
struct FileDialogRequest
{
    std::string title;
    std::string filter;
    std::string defaultExtension; // without dot; added to a typed name that has none
    std::string initialName;
    bool confirmOverwrite = true;
    bool mustExist = true; // an open dialog only: false also takes a name that is not there yet
};

class FileDialogs
{
public:
    virtual ~FileDialogs() = default;
    // The chosen full path, or nothing when the user cancelled.
    virtual std::optional<std::string> OpenFile(const FileDialogRequest &request) = 0;
    virtual std::optional<std::string> SaveFile(const FileDialogRequest &request) = 0;
    // An open dialog that takes several existing files; empty when the user cancelled.
    virtual std::vector<std::string> OpenFiles(const FileDialogRequest &request) = 0;
    // An existing folder, or nothing when the user cancelled.
    virtual std::optional<std::string> ChooseFolder(const std::string &title) = 0;
};

} // namespace ostrel
