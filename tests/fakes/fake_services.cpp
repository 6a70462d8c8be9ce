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

LaunchResult FakeProcessLauncher::Run(
    const std::vector<std::string> &arguments, const std::string &workingDirectory)
{
    calls.push_back({ arguments, workingDirectory, false });
    LaunchResult result { true, false, 0 };
    if (!results.empty()) {
        result = results.front();
        results.pop_front();
    }
    if (result.started && onRun)
        onRun(calls.back());
    return result;
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
