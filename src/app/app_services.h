#pragma once

#include <string>
#include <vector>

class QApplication;

namespace ostrel {

class Clipboard;
class FileDialogs;
class KeyboardLocks;
class MessageBoxes;
class Printing;
class ProcessLauncher;
class Profile;
class Sleeper;
class SystemLook;

// The platform services the application uses; tests hand in fakes.
struct AppServices
{
    MessageBoxes &messages;
    FileDialogs &fileDialogs;
    Sleeper &sleeper;
    Profile &profile;
    Clipboard &clipboard;
    KeyboardLocks &keyboardLocks;
    Printing &printing;
    ProcessLauncher &processes;
    SystemLook &systemLook;
};

// Where the program lives and where per-user files go when it cannot write there.
struct AppPaths
{
    std::string programDir; // the directory of the running executable
    std::string configDir; // the user's configuration folder for this program
    std::string dataDir; // the user's data folder: snapshots of unsaved work; empty for none
    // An installed program keeps the workspace in configDir even where it could write beside
    // itself.
    bool perUserWorkspace = false;
};

// The whole program: real services, start-up, the event loop. `arguments` are main's argv as
// its raw bytes, the program name first.
int RunOstrel(QApplication &application, const std::vector<std::string> &arguments);

} // namespace ostrel
