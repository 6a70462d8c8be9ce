#pragma once

#include <string>

namespace ostrel {

enum class MessageIcon { None, Exclamation, Information, Question, Stop };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Cancel, Yes, No };

// One modal message box as the program asks for it.
struct MessageRequest
{
    std::string text;
    std::string caption = "Ostrel";
    MessageIcon icon = MessageIcon::Exclamation;
    MessageButtons buttons = MessageButtons::Ok;
    bool ownedByMainWindow = true; // false: a box without owner window
};

// Every message box of the program goes through this seam, so tests answer them.
class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;
    virtual MessageAnswer Show(const MessageRequest &request) = 0;

    // The common case: caption "Ostrel", exclamation icon, one OK button.
    void Warn(const std::string &text) { Show(MessageRequest { text }); }
};

} // namespace ostrel
