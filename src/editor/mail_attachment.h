#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ostrel {

// Copies of documents handed to the mail program. Each copy lies in a folder of its own, made
// fresh with a name nobody could have guessed and open to this user alone, and is created
// there as a new file: nothing that anyone put in the temporary folder beforehand (a folder, a
// link) is ever written through. The folders go when this object does, at the program's end.
class MailAttachments
{
public:
    MailAttachments() = default;
    ~MailAttachments();
    MailAttachments(const MailAttachments &) = delete;
    MailAttachments &operator=(const MailAttachments &) = delete;

    struct Result
    {
        std::string path; // the copy; empty on failure
        std::string reason; // why it failed, in the system's words
    };
    // Writes `bytes` as `name` (its bytes as they are) in a new folder below `tempFolder`.
    Result Write(const std::string &tempFolder, const std::string &name, std::string_view bytes);

    // The copies not yet removed.
    const std::vector<std::string> &Files() const { return m_files; }
    // Removes every copy and its folder; anything else found in such a folder keeps it there.
    void RemoveAll();

private:
    std::vector<std::string> m_files;
};

} // namespace ostrel
