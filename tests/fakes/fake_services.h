#pragma once

#include "platform/clipboard.h"
#include "platform/file_dialogs.h"
#include "platform/keyboard_locks.h"
#include "platform/message_boxes.h"
#include "platform/printing.h"
#include "platform/process_launcher.h"
#include "platform/profile.h"
#include "platform/sleeper.h"

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace ostrel::test {

// Records every box and answers from a script (Ok, or the first button, when the script is
// empty).
class FakeMessageBoxes : public MessageBoxes
{
public:
    MessageAnswer Show(const MessageRequest &request) override;

    std::vector<MessageRequest> shown;
    std::deque<MessageAnswer> answers;

    std::vector<std::string> Texts() const;
    size_t Count(const std::string &text) const;
};

// Returns scripted paths; an empty script, or nullopt in it, means the user cancelled.
class FakeFileDialogs : public FileDialogs
{
public:
    std::optional<std::string> OpenFile(const FileDialogRequest &request) override;
    std::optional<std::string> SaveFile(const FileDialogRequest &request) override;
    // The next scripted list; an empty script cancels.
    std::vector<std::string> OpenFiles(const FileDialogRequest &request) override;
    std::optional<std::string> ChooseFolder(const std::string &title) override;

    std::deque<std::vector<std::string>> openFilesAnswers;
    std::deque<std::optional<std::string>> folderAnswers;
    std::deque<std::optional<std::string>> openAnswers;
    std::deque<std::optional<std::string>> saveAnswers;
    std::vector<FileDialogRequest> openRequests;
    std::vector<FileDialogRequest> saveRequests;
};

// Records every wait and ends it at once: `then` runs before After returns. Waits of a length
// in `held` wait instead until the test calls FireHeld.
class FakeSleeper : public Sleeper
{
public:
    std::unique_ptr<PendingWait> After(int milliseconds, std::function<void()> then) override;
    // Ends the held waits that are still asked for; returns how many.
    int FireHeld();

    std::vector<int> sleeps;
    std::set<int> held;

private:
    class Held;
    std::vector<std::shared_ptr<std::function<void()>>> m_held;
};

class FakeProfile : public Profile
{
public:
    std::string GetString(const std::string &section, const std::string &key,
        const std::string &fallback) const override;
    void WriteString(
        const std::string &section, const std::string &key, const std::string &value) override;
    int GetInt(const std::string &section, const std::string &key, int fallback) const override;
    void WriteInt(const std::string &section, const std::string &key, int value) override;

    std::map<std::string, std::string> values; // "section/key" -> value
};

class FakeClipboard : public Clipboard
{
public:
    void SetText(const std::string &text) override { formats = { { "text/plain", text } }; }
    std::string Text() const override;
    bool HasText() const override { return !Text().empty(); }
    std::vector<std::string> TextFormats() const override;
    std::string TextOfFormat(const std::string &format) const override;

    // What the clipboard offers, by format.
    std::map<std::string, std::string> formats;
};

class FakeKeyboardLocks : public KeyboardLocks
{
public:
    LockState State() const override { return state; }
    LockState state;
};

// Records what was asked of the printer; Print answers with `result`.
class FakePrinting : public Printing
{
public:
    struct Job
    {
        std::string title;
        bool withDialog = false;
        bool preview = false;
        PrintSource *source = nullptr;
    };

    void ShowPrintSetup() override { ++setupShown; }
    PrintResult Print(PrintSource &source, const std::string &title, bool withDialog) override
    {
        jobs.push_back({ title, withDialog, false, &source });
        return result;
    }
    void Preview(PrintSource &source, const std::string &title) override
    {
        jobs.push_back({ title, false, true, &source });
    }

    int setupShown = 0;
    std::vector<Job> jobs;
    PrintResult result = PrintResult::Printed;
};

// Records every child process asked for. A started child runs until the test ends it with
// Finish (or it is cancelled); `results` scripts which starts fail (started false), and
// `onRun` stands in for what the child does as it starts.
class FakeProcessLauncher : public ProcessLauncher
{
public:
    struct Call
    {
        std::vector<std::string> arguments;
        std::string workingDirectory;
        bool detached = false;
        int timeLimitMs = 0;
    };

    std::unique_ptr<RunningProcess> Start(const std::vector<std::string> &arguments,
        const std::string &workingDirectory, int timeLimitMs, Finished finished) override;
    bool StartDetached(
        const std::vector<std::string> &arguments, const std::string &workingDirectory) override;
    // Records `output` in `outputs`: the test writes the child's output through it.
    std::unique_ptr<RunningProcess> StartReading(const std::vector<std::string> &arguments,
        const std::string &workingDirectory, int timeLimitMs, Output output,
        Finished finished) override;
    bool CanFind(const std::string &program) const override { return found.count(program) > 0; }

    // Ends the child started last that still runs, reporting `result`; false when none runs.
    bool Finish(LaunchResult result = { true, false, 0 });
    // Whether a started child still runs.
    bool AnyRunning() const;

    std::vector<Call> calls;
    std::vector<Output> outputs; // of each StartReading, in order
    std::deque<LaunchResult> results;
    std::function<void(const Call &)> onRun;
    std::set<std::string> found; // programs that CanFind finds
    int cancels = 0; // Cancel calls on running children

private:
    class Child;
    std::vector<std::shared_ptr<Finished>> m_running;
};

} // namespace ostrel::test
