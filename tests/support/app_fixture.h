#pragma once

#include "app/new_chooser_dlg.h"
#include "app/quorlen_app.h"
#include "fakes/fake_service_set.h"
#include "project/project_record.h"
#include "support/modal_answer.h"
#include "support/temp_dir.h"

#include <memory>
#include <string>
#include <vector>

namespace ostrel::test {

// A whole application, main window included, on fakes, with its program directory in a
// fresh temporary folder.
class AppFixture : public FakeServiceSet
{
public:
    AppFixture();
    ~AppFixture();

    // Starts the application as `ostrel <words...>`.
    CQuorlenApp &Start(const std::vector<std::string> &words = {});
    CQuorlenApp &App() { return *app; }
    // Lets the event loop run until the build that runs has ended and its result is shown;
    // false when it still runs after `timeoutMs`.
    bool WaitForBuild(int timeoutMs = 30000);

    // Before Start: saves the project, has the workspace file reopen it with its C file, and
    // puts the real compiler program `compiler` in the program directory.
    bool PrepareProject(const ProjectRecord &project, const std::string &compiler);

    std::string WorkspacePath() const { return dir.File("bin/VOTRIX.cfg"); }
    std::string ProgramDir() const { return dir.File("bin"); }

    TempDir dir;
    // File New's chooser, at start-up without a workspace file too; OK unless a test says
    // otherwise, so that a new file opens.
    ModalAnswer<CNewChooserDlg> chooser { [](CNewChooserDlg &dialog) {
        dialog.accept();
    } };
    std::unique_ptr<CQuorlenApp> app;
};

} // namespace ostrel::test
