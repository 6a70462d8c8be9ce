#pragma once

#include <string>

namespace ostrel {

// The user's persistent settings (recent files and the like), kept per user.
class Profile
{
public:
    virtual ~Profile() = default;
    virtual std::string GetString(
        const std::string &section, const std::string &key, const std::string &fallback) const = 0;
    virtual void WriteString(
        const std::string &section, const std::string &key, const std::string &value) = 0;
    virtual int GetInt(const std::string &section, const std::string &key, int fallback) const = 0;
    virtual void WriteInt(const std::string &section, const std::string &key, int value) = 0;
};

} // namespace ostrel
