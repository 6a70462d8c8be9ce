#include "file_checks.h"

#include "contract/file_access.h"

#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace ostrel::cc {

Examined Examine(const fs::path &path)
{
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (status.type() == fs::file_type::not_found)
        return { FileKind::Missing, {} };
    if (error)
        return { FileKind::Unreadable, error.message() };
    switch (status.type()) {
    case fs::file_type::regular:
        return { FileKind::Regular, {} };
    case fs::file_type::directory:
        return { FileKind::Directory, {} };
    default:
        return { FileKind::Other, {} };
    }
}

bool SameFile(const fs::path &a, const fs::path &b)
{
    std::error_code error;
    const fs::path left = fs::absolute(a, error).lexically_normal();
    const fs::path right = fs::absolute(b, error).lexically_normal();
    if (left == right)
        return true;
    return fs::equivalent(a, b, error) && !error;
}

std::vector<std::string> CheckOutputs(
    const std::vector<fs::path> &outputs, const std::vector<NamedFile> &inputs)
{
    std::vector<std::string> problems;
    for (const fs::path &output : outputs) {
        // A symbolic link at an output's name is removed, not written through: only its own
        // name can clash with an input then.
        std::error_code linkError;
        const bool link = fs::is_symlink(output, linkError);
        bool isInput = false;
        for (const NamedFile &input : inputs) {
            if (input.path.empty())
                continue;
            const bool same = link ? fs::absolute(output, linkError).lexically_normal()
                    == fs::absolute(input.path, linkError).lexically_normal()
                                   : SameFile(output, input.path);
            if (same) {
                problems.push_back(output.string() + " would be written over the " + input.role
                    + "; give the " + input.role + " another name");
                isInput = true;
                break;
            }
        }
        if (isInput)
            continue;
        std::error_code error;
        const fs::file_status status = fs::symlink_status(output, error);
        const fs::file_type type = status.type();
        if (type == fs::file_type::not_found || type == fs::file_type::regular
            || type == fs::file_type::symlink)
            continue;
        if (error)
            problems.push_back("cannot examine " + output.string() + ": " + error.message());
        else
            problems.push_back(output.string() + " is not a regular file; it was left as it is");
    }
    return problems;
}

std::vector<std::string> RemoveOutputs(const std::vector<fs::path> &outputs)
{
    std::vector<std::string> problems;
    for (const fs::path &output : outputs) {
        std::error_code error;
        const fs::file_type type = fs::symlink_status(output, error).type();
        if (type != fs::file_type::regular && type != fs::file_type::symlink)
            continue;
        if (!fs::remove(output, error) && error)
            problems.push_back(
                "cannot remove the earlier " + output.string() + ": " + error.message());
    }
    return problems;
}

bool ReplaceFile(const fs::path &path, const std::string &text, std::string &error)
{
    const files::ReplaceResult result = files::ReplaceFile(path.string(), { text });
    if (!result.Ok())
        error = "cannot write " + path.string() + ": " + result.Reason();
    return result.Ok();
}

std::optional<std::string> ReadText(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace ostrel::cc
