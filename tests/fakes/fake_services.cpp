#include "fakes/fake_services.h"

#include <algorithm>

namespace ostrel::test {

MessageAnswer FakeMessageBoxes::Show(const MessageRequest &request)
{
    shown.push_back(request);
    if (!answers.empty()) {
        const MessageAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    return request.buttons == MessageButtons::YesNo
            || request.buttons == MessageButtons::YesNoCancel
        ? MessageAnswer::Yes
        : MessageAnswer::Ok;
}

std::vector<std::string> FakeMessageBoxes::Texts() const
{
    std::vector<std::string> texts;
    for (const auto &request : shown)
        texts.push_back(request.text);
    return texts;
}

size_t FakeMessageBoxes::Count(const std::string &text) const
{
    return static_cast<size_t>(std::count_if(shown.begin(), shown.end(), [&](const auto &r) {
        return r.text == text;
    }));
}

namespace {

std::optional<std::string> Next(std::deque<std::optional<std::string>> &answers)
{
    if (answers.empty())
        return std::nullopt;
    auto answer = answers.front();
    answers.pop_front();
    return answer;
}

} // namespace

std::optional<std::string> FakeFileDialogs::OpenFile(const FileDialogRequest &request)
{
    openRequests.push_back(request);
    return Next(openAnswers);
}

std::optional<std::string> FakeFileDialogs::SaveFile(const FileDialogRequest &request)
{
    saveRequests.push_back(request);
    return Next(saveAnswers);
}

std::vector<std::string> FakeFileDialogs::OpenFiles(const FileDialogRequest &request)
{
    openRequests.push_back(request);
    if (openFilesAnswers.empty())
        return {};
    std::vector<std::string> answer = std::move(openFilesAnswers.front());
    openFilesAnswers.pop_front();
    return answer;
}

std::optional<std::string> FakeFileDialogs::ChooseFolder(const std::string &)
{
    return Next(folderAnswers);
}

std::string FakeProfile::GetString(
    const std::string &section, const std::string &key, const std::string &fallback) const
{
    const auto found = values.find(section + "/" + key);
    return found == values.end() ? fallback : found->second;
}

void FakeProfile::WriteString(
    const std::string &section, const std::string &key, const std::string &value)
{
    values[section + "/" + key] = value;
}

int FakeProfile::GetInt(const std::string &section, const std::string &key, int fallback) const
{
    const auto found = values.find(section + "/" + key);
    return found == values.end() ? fallback : std::stoi(found->second);
}

void FakeProfile::WriteInt(const std::string &section, const std::string &key, int value)
{
    values[section + "/" + key] = std::to_string(value);
}

// A held wait: destroying it takes it back.
class FakeSleeper::Held : public PendingWait
{
public:
    explicit Held(std::shared_ptr<std::function<void()>> then)
        : m_then(std::move(then))
    {
    }
    ~Held() override { *m_then = nullptr; }

private:
    std::shared_ptr<std::function<void()>> m_then;
};

std::unique_ptr<PendingWait> FakeSleeper::After(int milliseconds, std::function<void()> then)
{
    sleeps.push_back(milliseconds);
    if (held.count(milliseconds) == 0) {
        then();
        return std::make_unique<PendingWait>();
    }
    m_held.push_back(std::make_shared<std::function<void()>>(std::move(then)));
    return std::make_unique<Held>(m_held.back());
}

int FakeSleeper::FireHeld()
{
    auto waits = std::move(m_held);
    m_held.clear();
    int fired = 0;
    for (const auto &then : waits) {
        if (!*then)
            continue;
        const std::function<void()> call = std::move(*then);
        *then = nullptr;
        call();
        ++fired;
    }
    return fired;
}

// A child of the fake: its report waits in the launcher until the test finishes it.
class FakeProcessLauncher::Child : public RunningProcess
{
public:
    Child(FakeProcessLauncher &launcher, std::shared_ptr<Finished> finished)
        : m_launcher(launcher)
        , m_finished(std::move(finished))
    {
    }
    void Cancel() override
    {
        if (!IsRunning())
            return;
        ++m_launcher.cancels;
        const Finished finished = std::move(*m_finished);
        *m_finished = nullptr;
        LaunchResult result { true, true };
        result.cancelled = true;
        finished(result);
    }
    bool IsRunning() const override { return *m_finished != nullptr; }

private:
    FakeProcessLauncher &m_launcher;
    std::shared_ptr<Finished> m_finished;
};

std::unique_ptr<RunningProcess> FakeProcessLauncher::Start(
    const std::vector<std::string> &arguments, const std::string &workingDirectory, int timeLimitMs,
    Finished finished)
{
    calls.push_back({ arguments, workingDirectory, false, timeLimitMs });
    if (!results.empty() && !results.front().started) {
        results.pop_front();
        return nullptr;
    }
    if (onRun)
        onRun(calls.back());
    m_running.push_back(std::make_shared<Finished>(std::move(finished)));
    return std::make_unique<Child>(*this, m_running.back());
}

std::unique_ptr<RunningProcess> FakeProcessLauncher::StartReading(
    const std::vector<std::string> &arguments, const std::string &workingDirectory, int timeLimitMs,
    Output output, Finished finished)
{
    outputs.push_back(std::move(output));
    return Start(arguments, workingDirectory, timeLimitMs, std::move(finished));
}

bool FakeProcessLauncher::Finish(LaunchResult result)
{
    for (auto it = m_running.rbegin(); it != m_running.rend(); ++it) {
        if (!**it)
            continue;
        const Finished finished = std::move(**it);
        **it = nullptr;
        finished(result);
        return true;
    }
    return false;
}

bool FakeProcessLauncher::AnyRunning() const
{
    for (const auto &finished : m_running)
        if (*finished)
            return true;
    return false;
}

bool FakeProcessLauncher::StartDetached(
    const std::vector<std::string> &arguments, const std::string &workingDirectory)
{
    calls.push_back({ arguments, workingDirectory, true });
    if (results.empty())
        return true;
    const bool started = results.front().started;
    results.pop_front();
    return started;
}

std::string FakeClipboard::Text() const
{
    return TextOfFormat("text/plain");
}

std::vector<std::string> FakeClipboard::TextFormats() const
{
    std::vector<std::string> names;
    for (const auto &[name, text] : formats)
        names.push_back(name);
    return names;
}

std::string FakeClipboard::TextOfFormat(const std::string &format) const
{
    const auto found = formats.find(format);
    return found == formats.end() ? std::string() : found->second;
}

} // namespace ostrel::test
