#pragma once

#include <string>

namespace ostrel {

class MessageBoxes;
class ProcessLauncher;
class ProjectSession;

// What Compile needs of the windows around it.
class BuildHost
{
public:
    virtual ~BuildHost() = default;
    // The document of the active source window; false when no source window is open.
    virtual bool HasActiveDocument() const = 0;
    virtual bool ActiveDocumentModified() const = 0;
    virtual bool ActiveDocumentHasPath() const = 0;
    // Saves it under its path; a failure is reported by the document itself.
    virtual void SaveActiveDocument() = 0;
    // The compiler is about to be started.
    virtual void BuildStarting() = 0;
    // Shows the compiler's messages from CompilerOutputPath().
    virtual void ShowOutputWindow() = 0;
};

// The Compile command: saves the active document if the user agrees, runs the compiler on
// the project's C file and has the output window show its messages.
class BuildDriver
{
public:
    BuildDriver(BuildHost &host, MessageBoxes &messages, ProcessLauncher &launcher);

    // True when the compiler ran (whatever its exit status).
    bool Compile(const std::string &programDir, const ProjectSession &project);

    // The message file of the last Compile that got past its checks; empty before.
    const std::string &CompilerOutputPath() const { return m_outputPath; }
    // The command line of that Compile, as text.
    const std::string &CommandLine() const { return m_commandLine; }

private:
    bool SaveActiveDocument();

    BuildHost &m_host;
    MessageBoxes &m_messages;
    ProcessLauncher &m_launcher;
    std::string m_outputPath;
    std::string m_commandLine;
};

} // namespace ostrel
