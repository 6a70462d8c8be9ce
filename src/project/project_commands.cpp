#include "project/project_commands.h"

#include "editor/doc_manager.h"
#include "platform/file_dialogs.h"
#include "platform/message_boxes.h"
#include "project/project_files.h"
#include "project/project_session.h"
#include "project/project_settings_dlg.h"

namespace ostrel {

namespace {

const char kOpenFilter[] = "Data and Project Files (*.C;*.asm;*.prj)|*.c;*.asm;*.prj|"
                           "Data Files (*.C;*.asm;)|*.c;*.asm|Project (*.prj)|*.prj|"
                           "C Files (*.c)|*.c|ASM Files (*.asm)|*.asm|All Files (*.*)|*.*||";
const char kProjectFilter[] = "Project File (*.PRJ)|*.PRJ||";

FileDialogRequest ProjectFileRequest(const char *title)
{
    FileDialogRequest request;
    request.title = title;
    request.filter = kProjectFilter;
    request.defaultExtension = "PRJ";
    return request;
}

} // namespace

ProjectCommands::ProjectCommands(ProjectCommandContext context)
    : m_context(std::move(context))
{
}

void ProjectCommands::OpenFileCommand()
{
    FileDialogRequest request;
    request.title = "Open";
    request.filter = kOpenFilter;
    request.defaultExtension = "C";
    const auto chosen = m_context.fileDialogs.OpenFile(request);
    if (!chosen)
        return;
    std::string path = *chosen;
    // A project that cannot be read opens as a file, so that the user sees what it holds.
    if (IsProjectFileName(path) && m_context.project.Open(path, m_context.messages)) {
        m_context.saveWorkspace();
        path = m_context.project.CFile();
    }
    m_context.documents.OpenDocumentFile(path);
    // The project box follows a new project even when its C file was already the active one.
    m_context.refreshIndicators();
}

void ProjectCommands::ProjectNew()
{
    ProjectSession &project = m_context.project;
    project.SetCreated(false);
    const auto chosen = m_context.fileDialogs.SaveFile(ProjectFileRequest("New Project"));
    if (!chosen)
        return;
    project.StartNew(*chosen);
    if (!EditProjectSettings())
        return;
    project.SetOpen(true);
    m_context.saveWorkspace();
    project.SetCreated(true);
    m_context.refreshIndicators();
}

void ProjectCommands::ProjectOpen()
{
    FileDialogRequest request = ProjectFileRequest("Open Project");
    const auto chosen = m_context.fileDialogs.OpenFile(request);
    if (!chosen || !m_context.project.Open(*chosen, m_context.messages))
        return;
    m_context.saveWorkspace();
    m_context.refreshIndicators();
}

void ProjectCommands::ProjectSettings()
{
    if (!m_context.project.IsOpen()) {
        m_context.messages.Warn("Please, first open the project.");
        return;
    }
    // The project box and the files list follow the new settings, saved or not.
    EditProjectSettings();
    m_context.refreshIndicators();
}

void ProjectCommands::ProjectClose()
{
    if (!m_context.documents.SaveAllModified())
        return;
    m_context.project.Close();
    m_context.refreshIndicators();
    m_context.documents.CloseAllDocuments();
}

bool ProjectCommands::EditProjectSettings()
{
    ProjectSession &project = m_context.project;
    CProjectSettingsDlg dialog(
        project.Record(), m_context.fileDialogs, m_context.messages, m_context.mainWindow);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    project.ApplySettings(dialog.Values(), dialog.Options());
    return project.Save(m_context.messages);
}

} // namespace ostrel
