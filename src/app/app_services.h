#pragma once

#include <string>

class QApplication;

namespace ostrel {

class Clipboard;
class FileDialogs;
class KeyboardLocks;
class MessageBoxes;
class PrintSetup;
class ProcessLauncher;
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
    ProcessLauncher &processes;
};

// Where the program lives and where per-user files go when it cannot write there.
struct AppPaths
{
    std::string programDir; // the directory of the running executable
    std::string configDir; // the user's configuration folder for this program
};

// The whole program: real services, start-up, the event loop.
int RunOstrel(QApplication &application);

} // namespace ostrel
