#pragma once

#include <string>

class QApplication;

namespace ostrel {

class Clipboard;
class FileDialogs;
class KeyboardLocks;
class MessageBoxes;
class PrintSetup;
class Profile;
class Sleeper;

// The platform services the application uses; tests hand in fakes.
struct AppServices
{
    MessageBoxes &messages;
    FileDialogs &fileDialogs;
    Sleeper &sleeper;
    Profile &profile;
    Clipboard &clipboard;
    KeyboardLocks &keyboardLocks;
    PrintSetup &printSetup;
};

// Where the program lives and where per-user files go when it cannot write there.
struct AppPaths
{
    std::string programDir; // the directory of the running executable
    std::string configDir; // the user's configuration folder for this program
    // An installed program keeps the workspace in configDir even where it could write beside
    // itself.
    bool perUserWorkspace = false;
};

// The whole program: real services, start-up, the event loop.
int RunOstrel(QApplication &application);

} // namespace ostrel
