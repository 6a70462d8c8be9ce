#pragma once

#include "compile/build_driver.h"
#include "compile/build_result.h"
#include "compile/output_window.h"

#include <QObject>
#include <QPointer>
#include <QShortcut>

#include <functional>
#include <memory>
#include <string>

namespace ostrel {

class CDocManager;
class MessageBoxes;
class ProcessLauncher;
class ProjectSession;
class Sleeper;

// What compiling and the output window work with in the running application.
struct BuildContext
{
    CDocManager &documents;
    // The main window: it owns the output window, and F4 and Shift+F4 act in it.
    QWidget *mainWindow;
    ProjectSession &project;
    std::string programDir;
    MessageBoxes &messages;
    ProcessLauncher &processes;
    Sleeper &sleeper;
};

// Compile and the output window in the running application: the driver's view of the
// active source window, the one output window, and going from a message to its line.
class BuildController : public QObject, public BuildHost
{
    Q_OBJECT

public:
    // F4 and Shift+F4 step through the messages from then on, and documents opened after a
    // build show its marks.
    explicit BuildController(BuildContext context);
    ~BuildController() override;

    void Compile();
    // Compile, then `done` once the build has ended (whatever its result); false, and no
    // call, when no build was started.
    bool CompileThen(std::function<void()> done);
    // Shows the output window listing `entries` (a build's messages among them stay
    // navigable).
    void ShowLines(std::vector<std::string> entries);
    // What Escape in the output window does while no build runs; empty: nothing.
    void SetEscapeAction(std::function<void()> action);
    // Ends a running build; nothing when none runs.
    void CancelBuild() { m_driver.Cancel(); }
    // Replaces the output window with a new one at its fixed place and lists the messages.
    void ShowOutputWindow() override;
    // Opens the file the message in `row` of the output window names and selects its line;
    // nothing for other entries.
    void Navigate(int row);
    // Goes to the next (or previous) message that names a place, as a double-click does;
    // past the last one it starts again at the first, and the other way round.
    void StepMessage(bool forward);

    const BuildDriver &Driver() const { return m_driver; }
    COutputWindow *OutputWindow() const { return m_outputWindow; }
    // The file and line of the last message followed.
    const std::string &NavigationFile() const { return m_navigationFile; }
    int32_t NavigationLine() const { return m_navigationLine; }

    // BuildHost
    bool HasActiveDocument() const override;
    bool ActiveDocumentModified() const override;
    bool ActiveDocumentHasPath() const override;
    void SaveActiveDocument() override;
    void BuildStarting() override;
    void BuildFinished() override;
    void ShowStatus(const std::string &text) override;
    std::vector<std::string> ModifiedOtherDocuments(
        const std::vector<std::string> &paths) const override;
    bool SaveDocument(const std::string &path) override;

private:
    void AddStepKeys(QWidget *window);
    COutputWindow *NewOutputWindow();
    std::shared_ptr<const BuildResult> MakeResult() const;
    void MarkOpenDocuments();

    BuildContext m_context;
    BuildDriver m_driver;
    QPointer<COutputWindow> m_outputWindow;
    // Escape in the output window, enabled while a build runs.
    QPointer<QShortcut> m_cancelKey;
    std::string m_navigationFile;
    int32_t m_navigationLine = 0;
    // The result of the last build, whose messages the source views mark; null before one
    // and while one runs.
    std::shared_ptr<const BuildResult> m_marked;
    // A build started: the next result read is its own.
    bool m_resultPending = false;
    std::function<void()> m_afterBuild;
    std::function<void()> m_escapeAction;
};

} // namespace ostrel
