#pragma once

#include "app/app_services.h"
#include "fakes/fake_services.h"
#include "fakes/fake_system_look.h"

namespace ostrel::test {

// A fake of every platform seam, handed to an application as its services.
struct FakeServiceSet
{
    FakeMessageBoxes messages;
    FakeFileDialogs fileDialogs;
    FakeSleeper sleeper;
    FakeProfile profile;
    FakeClipboard clipboard;
    FakeKeyboardLocks keyboardLocks;
    FakePrinting printing;
    FakeProcessLauncher processes;
    // Set before the application starts to run real child processes instead of the fake.
    ProcessLauncher *launcher = nullptr;
    FakeSystemLook systemLook;

    AppServices Services()
    {
        return { messages, fileDialogs, sleeper, profile, clipboard, keyboardLocks, printing,
            launcher ? *launcher : processes, systemLook };
    }
};

} // namespace ostrel::test
