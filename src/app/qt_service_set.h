#pragma once

#include "app/app_services.h"
#include "platform/qt_platform_extras.h"
#include "platform/qt_printing.h"
#include "platform/qt_process_launcher.h"
#include "platform/qt_services.h"
#include "platform/qt_system_look.h"

namespace ostrel {

// The real platform services, each over Qt, handed to the application as one set.
struct QtServiceSet
{
    QtMessageBoxes messages;
    QtFileDialogs fileDialogs;
    QtSleeper sleeper;
    QtProfile profile;
    QtClipboard clipboard;
    QtKeyboardLocks keyboardLocks;
    QtPrinting printing;
    QtProcessLauncher processes;
    QtSystemLook systemLook;

    AppServices Services()
    {
        return { messages, fileDialogs, sleeper, profile, clipboard, keyboardLocks, printing,
            processes, systemLook };
    }
    // Boxes and dialogs belong to the main window once it exists.
    void SetOwner(QWidget *owner)
    {
        messages.SetOwner(owner);
        fileDialogs.SetOwner(owner);
        printing.SetOwner(owner);
    }
};

} // namespace ostrel
