#pragma once

#include <functional>

class QWidget;

namespace ostrel {

class CDocManager;
class FileDialogs;
class MessageBoxes;
class ProjectSession;

// What the project commands use of the application around them.
struct ProjectCommandContext
{
    ProjectSession &project;
    MessageBoxes &messages;
    FileDialogs &fileDialogs;
    CDocManager &documents;
    QWidget *mainWindow; // parent of the settings dialog
    std::function<void()> saveWorkspace; // remembers the project for the next start
    std::function<void()> refreshIndicators; // project box and caret line
};

// File Open and the Project menu: open a source file or a project, create, edit and close
// the project.
class ProjectCommands
{
public:
    explicit ProjectCommands(ProjectCommandContext context);

    // A project file (".PRJ" or ".prj") is loaded and its C file opened; anything else opens
    // as a source file.
    void OpenFileCommand();
    // Names a new project file and runs the settings dialog for it; IsCreated() tells whether
    // it was made.
    void ProjectNew();
    void ProjectOpen();
    void ProjectSettings();
    // Offers to save each modified document first; cancelling that keeps everything as it
    // was. Then the project closes with all its documents.
    void ProjectClose();

    // Runs the settings dialog on the project; after OK the project takes its values and is
    // saved. False after Cancel or when saving fails.
    bool EditProjectSettings();

private:
    ProjectCommandContext m_context;
};

} // namespace ostrel
