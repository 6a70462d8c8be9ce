#pragma once

#include <cstdint>

namespace ostrel {

// Every command of the program, by the number that menus, accelerators, the toolbar and the
// string table use. Ids from 32768 below 57344 are the program's own; from 57344 up they are the
// framework's standard commands.
enum class CommandId : uint16_t {
    Escape = 32768, // accelerator only; nothing handles it
    Compile = 32771,
    Debug = 32772, // toolbar only; nothing handles it, so the button stays disabled
    OutputWindow = 32774,
    ProjectNew = 32775,
    ProjectOpen = 32776,
    ProjectSettings = 32777,
    ChangeTabSize = 32782,
    ProjectClose = 32786,
    InterruptMasks = 32787, // also the child id of the main frame's project box
    IoPinsDirection = 32788,
    McucrSettings = 32789,
    UartSettings = 32790,
    SerialMonitor = 32801,
    ProjectFiles = 32800,
    ProgramChip = 32802,
    ProgrammerSettings = 32803,

    FileNew = 57600,
    FileOpen = 57601,
    FileClose = 57602,
    FileSave = 57603,
    FileSaveAs = 57604,
    FilePrintSetup = 57606,
    FilePrint = 57607,
    FilePrintDirect = 57608,
    FilePrintPreview = 57609,
    FileSendMail = 57612,
    RecentFileFirst = 57616,
    RecentFileLast = 57631,
    EditCopy = 57634,
    EditCut = 57635,
    EditFind = 57636,
    EditPaste = 57637,
    EditPasteSpecial = 57639,
    EditRepeat = 57640,
    EditReplace = 57641,
    EditSelectAll = 57642,
    EditUndo = 57643,
    WindowNew = 57648,
    WindowArrange = 57649,
    WindowCascade = 57650,
    WindowTile = 57651,
    AppAbout = 57664,
    AppExit = 57665,
    HelpTopics = 57667,
    ContextHelp = 57669,
    Help = 57670,
    DefaultHelp = 57671,
    NextPane = 57680,
    PreviousPane = 57681,
    ObjectProperties = 57860,
    ViewToolbar = 59392, // also the toolbar's control id
    ViewStatusBar = 59393, // also the status bar's control id
};

// Entries of the string table that belong to no command.
enum class StringId : uint16_t {
    AppTitle = 57344,
    IdleMessage = 57345,
    HelpModeMessage = 57346,
    IndicatorExt = 59136,
    IndicatorCaps = 59137,
    IndicatorNum = 59138,
    IndicatorScroll = 59139,
    IndicatorOverwrite = 59140,
    IndicatorRecord = 59141,
};

constexpr uint16_t ToUint(CommandId id)
{
    return static_cast<uint16_t>(id);
}
constexpr uint16_t ToUint(StringId id)
{
    return static_cast<uint16_t>(id);
}

// The sixteen ids of the recent-file list.
constexpr bool IsRecentFileCommand(uint16_t id)
{
    return id >= ToUint(CommandId::RecentFileFirst) && id <= ToUint(CommandId::RecentFileLast);
}

// Ids below this are the program's own commands.
constexpr uint16_t kFirstFrameworkId = 57344;

} // namespace ostrel
