#pragma once

#include "platform/clipboard.h"
#include "platform/file_dialogs.h"
#include "platform/keyboard_locks.h"
#include "platform/message_boxes.h"
#include "platform/print_setup.h"
#include "platform/process_launcher.h"
#include "platform/profile.h"
#include "platform/sleeper.h"

#include <deque>
#include <functional>
#include <map>
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

    std::deque<std::optional<std::string>> openAnswers;
    std::deque<std::optional<std::string>> saveAnswers;
    std::vector<FileDialogRequest> openRequests;
    std::vector<FileDialogRequest> saveRequests;
};

class FakeSleeper : public Sleeper
{
public:
    void Sleep(int milliseconds) override { sleeps.push_back(milliseconds); }
    std::vector<int> sleeps;
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

class FakePrintSetup : public PrintSetup
{
public:
    void ShowPrintSetup() override { ++shown; }
    int shown = 0;
};

// Records every child process asked for and answers from a script (a normal exit with status
// 0 when the script is empty); `onRun` stands in for what the child would do.
class FakeProcessLauncher : public ProcessLauncher
{
public:
    struct Call
    {
        std::vector<std::string> arguments;
        std::string workingDirectory;
        bool detached = false;
    };

    LaunchResult Run(
        const std::vector<std::string> &arguments, const std::string &workingDirectory) override;
    bool StartDetached(
        const std::vector<std::string> &arguments, const std::string &workingDirectory) override;
    bool CanFind(const std::string &program) const override { return found.count(program) > 0; }

    std::vector<Call> calls;
    std::deque<LaunchResult> results;
    std::function<void(const Call &)> onRun;
    std::set<std::string> found; // programs that CanFind finds
};

} // namespace ostrel::test
