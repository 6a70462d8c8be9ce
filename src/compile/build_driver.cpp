#include "compile/build_driver.h"

#include "compile/compile_command.h"
#include "platform/message_boxes.h"
#include "platform/process_launcher.h"
#include "project/project_session.h"

#include <cstdio>

namespace ostrel {

BuildDriver::BuildDriver(BuildHost &host, MessageBoxes &messages, ProcessLauncher &launcher)
    : m_host(host)
    , m_messages(messages)
    , m_launcher(launcher)
{
}

bool BuildDriver::SaveActiveDocument()
{
    MessageRequest question { "File is modified. It must be saved\nSave file ?" };
    question.icon = MessageIcon::Question;
    question.buttons = MessageButtons::YesNo;
    if (m_messages.Show(question) != MessageAnswer::Yes)
        return false;
    if (!m_host.ActiveDocumentHasPath()) {
        m_messages.Warn("New File.\nNo File name attached to file.\n\t\t\t\t\tPlease Save it first "
                        "using save as command.");
        return false;
    }
    m_host.SaveActiveDocument();
    return true;
}

bool BuildDriver::Compile(const std::string &programDir, const ProjectSession &project)
{
    if (!m_host.HasActiveDocument())
        return false;
    if (m_host.ActiveDocumentModified() && !SaveActiveDocument())
        return false;
    if (!project.IsOpen()) {
        m_messages.Warn("No project is open !\n\t\t\tPlease, see 'Getting Started' topic in the "
                        "Help/Search Menu");
        return false;
    }
    std::fflush(nullptr);

    const std::string program = CompilerProgramPath(programDir);
    m_outputPath = ostrel::CompilerOutputPath(project.CFile());
    m_commandLine = CompileCommandLine(program, project.CFile(), project.CommandOptions());
    m_host.BuildStarting();
    // The child inherits this program's current directory.
    const LaunchResult result =
        m_launcher.Run(CompileArguments(program, project.CFile(), project.CommandWords()), {});
    if (!result.started) {
        // The program goes on, so no unsaved work is lost.
        m_messages.Warn("ERROR: Cannot launch child process\n");
        return false;
    }
    // The exit status is not looked at: the messages tell the user what happened.
    m_host.ShowOutputWindow();
    return true;
}

} // namespace ostrel
