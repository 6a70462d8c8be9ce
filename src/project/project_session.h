#pragma once

#include "project/compiler_options.h"
#include "project/project_record.h"

#include <string>
#include <vector>

namespace ostrel {

class MessageBoxes;

// The open project as Compile, the project commands and the indicators share it: the record,
// whether it is open, whether Project New has just created it, and its compiler options.
// With no project open the path is "NONAME".
class ProjectSession
{
public:
    bool IsOpen() const { return m_open; }
    bool IsCreated() const { return m_created; }
    void SetOpen(bool open) { m_open = open; }
    void SetCreated(bool created) { m_created = created; }

    const ProjectRecord &Record() const { return m_record; }
    const std::string &Path() const { return m_record.projectPath; }
    const std::string &CFile() const { return m_record.cFile; }
    const std::string &DisplayOptions() const { return m_record.displayOptions; }
    const std::string &CommandOptions() const { return m_record.commandOptions; }
    // The words of CommandOptions(), each one argument of the compiler (a path may hold blanks).
    const std::vector<std::string> &CommandWords() const { return m_words; }

    // No project: every field at its default, the path "NONAME", the flags cleared.
    void Close();
    // Start-up: the project path and open flag remembered in the workspace file.
    void Restore(const std::string &path, bool open);
    // Start-up: reads the remembered project if it is open (closing it when that fails), then
    // builds the options from the record.
    void Reload(MessageBoxes &messages);
    // Reads the project file at `path`. On success the project is open and its options are
    // built from it; on failure the path still names the file and nothing else changes.
    bool Open(const std::string &path, MessageBoxes &messages);
    // Project New: the path of the new file and every setting at its default.
    void StartNew(const std::string &path);
    // The settings dialog was confirmed: its values (everything but the path and the reserved
    // field) and its options become the project's.
    void ApplySettings(const ProjectRecord &values, const CompilerOptions &options);
    // Writes the record to its project file.
    bool Save(MessageBoxes &messages) const;

    void ApplyOptions(const CompilerOptions &options);
    // The programmer settings, kept in the project file's extension block.
    void SetProgrammer(const ProgrammerSettings &settings)
    {
        m_record.extension.programmer = settings;
    }

private:
    ProjectRecord m_record;
    std::vector<std::string> m_words;
    bool m_open = false;
    bool m_created = false;
};

} // namespace ostrel
