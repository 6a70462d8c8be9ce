#include "res/resources.h"

#include <algorithm>

namespace ostrel {

namespace {

using C = CommandId;

// The File list's entries shared by the menus.
MenuEntry FileNewItem()
{
    return MenuItem("&New\tCtrl+N", C::FileNew);
}
MenuEntry FileOpenItem()
{
    return MenuItem("&Open...\tCtrl+O", C::FileOpen);
}
MenuEntry PrintSetupItem()
{
    return MenuItem("P&rint Setup...", C::FilePrintSetup);
}
// Greyed placeholder that the recent-file list replaces.
MenuEntry RecentFileItem()
{
    return MenuItem("Recent File", C::RecentFileFirst, MenuFlag::Grayed);
}
MenuEntry ExitItem()
{
    return MenuItem("E&xit", C::AppExit);
}

MenuEntry ViewPopup(bool withOutputWindow)
{
    MenuEntry view = MenuPopup("&View",
        {
            MenuItem("&Toolbar", C::ViewToolbar),
            MenuItem("&Status Bar", C::ViewStatusBar),
        });
    if (withOutputWindow) {
        view.items.push_back(MenuSeparator());
        view.items.push_back(MenuItem("&Output Window", C::OutputWindow));
    }
    return view;
}

MenuEntry WindowPopup()
{
    return MenuPopup("&Window",
        {
            MenuItem("&New Window", C::WindowNew),
            MenuItem("&Cascade", C::WindowCascade),
            MenuItem("&Tile", C::WindowTile),
            MenuItem("&Arrange Icons", C::WindowArrange),
        });
}

MenuEntry HelpPopup()
{
    return MenuPopup("&Help",
        {
            MenuItem("&Help Topics", C::HelpTopics),
            MenuSeparator(),
            MenuItem("&About Ostrel", C::AppAbout),
        });
}

// What comes after a build, for the chip: programming it (only with a document, like Compile)
// and the serial monitor.
MenuEntry ChipPopup(bool withProgrammer)
{
    MenuEntry chip = MenuPopup("Ch&ip", {});
    if (withProgrammer) {
        chip.items.push_back(MenuItem("&Program Chip\tCtrl+F9", C::ProgramChip));
        chip.items.push_back(MenuItem("Programmer &Settings...", C::ProgrammerSettings));
        chip.items.push_back(MenuSeparator());
    }
    chip.items.push_back(MenuItem("Serial &Monitor", C::SerialMonitor));
    return chip;
}

MenuDefinition DefaultMenu()
{
    return {
        MenuPopup("&File",
            {
                FileNewItem(),
                FileOpenItem(),
                MenuSeparator(),
                PrintSetupItem(),
                MenuSeparator(),
                RecentFileItem(),
                MenuSeparator(),
                ExitItem(),
            }),
        ViewPopup(false),
        ChipPopup(false),
        HelpPopup(),
    };
}

MenuDefinition DocumentMenu()
{
    return {
        MenuPopup("&File",
            {
                FileNewItem(),
                FileOpenItem(),
                MenuItem("&Close", C::FileClose),
                MenuItem("&Save\tCtrl+S", C::FileSave),
                MenuItem("Save &As...", C::FileSaveAs),
                MenuItem("Send &Mail", C::FileSendMail),
                MenuSeparator(),
                MenuItem("&Print...\tCtrl+P", C::FilePrint),
                PrintSetupItem(),
                MenuSeparator(),
                RecentFileItem(),
                MenuSeparator(),
                ExitItem(),
            }),
        MenuPopup("&Edit",
            {
                MenuItem("&Undo\tCtrl+Z", C::EditUndo),
                MenuSeparator(),
                MenuItem("Cu&t\tCtrl+X", C::EditCut),
                MenuItem("&Copy\tCtrl+C", C::EditCopy),
                MenuItem("&Paste\tCtrl+V", C::EditPaste),
                MenuItem("Paste &Special...", C::EditPasteSpecial),
                MenuItem("Select A&ll\tCtrl+A", C::EditSelectAll),
                MenuSeparator(),
                MenuItem("&Find...\tCtrl+F", C::EditFind),
                MenuItem("F&ind Next\tF3", C::EditRepeat),
                MenuItem("R&eplace\tCtrl+H", C::EditReplace),
                MenuSeparator(),
                MenuItem("Change &Tab Size", C::ChangeTabSize),
            }),
        ViewPopup(true),
        MenuPopup("&Project",
            {
                MenuItem("&New", C::ProjectNew),
                MenuItem("&Open", C::ProjectOpen),
                MenuSeparator(),
                MenuItem("&Settings", C::ProjectSettings),
                MenuSeparator(),
                MenuItem("Cl&ose", C::ProjectClose),
                MenuSeparator(),
                MenuItem("&Files...", C::ProjectFiles),
            }),
        // The shortcut stands after three blanks, not after a tab.
        MenuPopup("&Compile", { MenuItem("&Compile   F9", C::Compile) }),
        MenuPopup("Visual Code &Generator",
            {
                MenuItem("Set / Clear Interrupt Masks", C::InterruptMasks),
                MenuItem("Set I/O Pins Direction", C::IoPinsDirection),
                MenuItem("MCUCR Settings", C::McucrSettings),
                MenuItem("UART Settings", C::UartSettings),
            }),
        ChipPopup(true),
        WindowPopup(),
        HelpPopup(),
    };
}

// While an object is edited in place: the two separators between File and Window are the
// slots where the object's own menus go.
MenuDefinition InPlaceMenu()
{
    return {
        MenuPopup("&File",
            {
                FileNewItem(),
                FileOpenItem(),
                MenuItem("&Close", C::FileClose),
                MenuItem("&Save\tCtrl+S", C::FileSave),
                MenuItem("Save &As...", C::FileSaveAs),
                MenuSeparator(),
                MenuItem("&Print...\tCtrl+P", C::FilePrint),
                MenuItem("Print Pre&view", C::FilePrintPreview),
                PrintSetupItem(),
                MenuSeparator(),
                RecentFileItem(),
                MenuSeparator(),
                ExitItem(),
            }),
        MenuSeparator(),
        MenuSeparator(),
        WindowPopup(),
    };
}

// The source view's context menu pads its shortcuts with blanks instead of a tab.
MenuDefinition EditorPopupMenu()
{
    return {
        MenuPopup("FloatMenu",
            {
                MenuItem("&Undo                 Ctrl+Z", C::EditUndo),
                MenuSeparator(),
                MenuItem("Cu&t                    Ctrl+X", C::EditCut),
                MenuItem("&Copy                 Ctrl+C", C::EditCopy),
                MenuItem("&Paste                Ctrl+V", C::EditPaste),
                MenuItem("Select A&ll          Ctrl+A", C::EditSelectAll),
                MenuSeparator(),
                MenuItem("Change &Tab Size", C::ChangeTabSize),
            }),
    };
}

constexpr uint8_t kNone = KeyModifier::None;
constexpr uint8_t kCtrl = KeyModifier::Control;
constexpr uint8_t kShift = KeyModifier::Shift;
constexpr uint8_t kAlt = KeyModifier::Alt;
using K = VirtualKey;

// Tables are built on first use, so callers during static start-up find them ready.
const std::vector<Accelerator> &MainAccelerators()
{
    static const std::vector<Accelerator> table {
        { K::A, kCtrl, ToUint(C::EditSelectAll) },
        { K::C, kCtrl, ToUint(C::EditCopy) },
        { K::F, kCtrl, ToUint(C::EditFind) },
        { K::H, kCtrl, ToUint(C::EditReplace) },
        { K::N, kCtrl, ToUint(C::FileNew) },
        { K::O, kCtrl, ToUint(C::FileOpen) },
        { K::P, kCtrl, ToUint(C::FilePrint) },
        { K::S, kCtrl, ToUint(C::FileSave) },
        { K::V, kCtrl, ToUint(C::EditPaste) },
        { K::Backspace, kAlt, ToUint(C::EditUndo) },
        { K::Delete, kShift, ToUint(C::EditCut) },
        { K::Escape, kNone, ToUint(C::Escape) },
        { K::F1, kNone, ToUint(C::Help) },
        { K::F1, kShift, ToUint(C::ContextHelp) },
        { K::F3, kNone, ToUint(C::EditRepeat) },
        { K::F6, kNone, ToUint(C::NextPane) },
        { K::F6, kShift, ToUint(C::PreviousPane) },
        { K::F9, kNone, ToUint(C::Compile) },
        { K::F9, kCtrl, ToUint(C::ProgramChip) },
        { K::Insert, kCtrl, ToUint(C::EditCopy) },
        { K::Insert, kShift, ToUint(C::EditPaste) },
        { K::Enter, kAlt, ToUint(C::ObjectProperties) },
        { K::X, kCtrl, ToUint(C::EditCut) },
        { K::Z, kCtrl, ToUint(C::EditUndo) },
    };
    return table;
}

const std::vector<Accelerator> &InPlaceAccelerators()
{
    static const std::vector<Accelerator> table {
        { K::N, kCtrl, ToUint(C::FileNew) },
        { K::O, kCtrl, ToUint(C::FileOpen) },
        { K::S, kCtrl, ToUint(C::FileSave) },
        { K::P, kCtrl, ToUint(C::FilePrint) },
        { K::F6, kNone, ToUint(C::NextPane) },
        { K::F6, kShift, ToUint(C::PreviousPane) },
        { K::F1, kShift, ToUint(C::ContextHelp) },
        { K::F1, kNone, ToUint(C::Help) },
        { K::Escape, kNone, ToUint(C::Escape) },
    };
    return table;
}

// The first two separators become the project box and a gap in the main frame.
const ToolbarResource &MainToolbar()
{
    static const ToolbarResource toolbar {
        18,
        16,
        {
            0,
            0,
            ToUint(C::FileOpen),
            ToUint(C::FileSave),
            ToUint(C::FilePrint),
            0,
            ToUint(C::EditCut),
            ToUint(C::EditCopy),
            ToUint(C::EditPaste),
            0,
            ToUint(C::EditFind),
            ToUint(C::EditReplace),
            0,
            ToUint(C::Compile),
            ToUint(C::Debug),
            0,
            ToUint(C::AppAbout),
            ToUint(C::ContextHelp),
        },
        "toolbar.bmp",
    };
    return toolbar;
}

std::vector<std::pair<uint16_t, std::string_view>> MakeStringTable()
{
    std::vector<std::pair<uint16_t, std::string_view>> table {
        { ToUint(C::Compile), "Compiles the file\nComplie F9." },
        { ToUint(C::Debug), "Debugs the program.\nDebug." },
        { ToUint(C::OutputWindow), "Shows\\hides output window." },
        { ToUint(C::ProjectNew), "Opens a new Project\nOpen new Project." },
        { ToUint(C::ProjectOpen), "Open project\nOpen project" },
        { ToUint(C::ProjectSettings), "Change project settings\nProject settings" },
        { ToUint(C::ChangeTabSize), "Change Tab size." },
        { ToUint(C::SerialMonitor),
            "Show the serial monitor: what a serial port receives, and a line to send\nSerial "
            "Monitor (Ctrl+Shift+M)" },
        { ToUint(C::ProjectFiles), "Lists the project's files to open one\nProject files" },
        { ToUint(C::ProgramChip),
            "Builds if needed, then writes and verifies the firmware in the chip\nProgram Chip "
            "Ctrl+F9" },
        { ToUint(C::ProgrammerSettings),
            "Chooses the programmer, its port and bit clock\nProgrammer Settings" },
        { ToUint(StringId::AppTitle), "Ostrel" },
        { ToUint(StringId::IdleMessage), "For Help, press F1" },
        { ToUint(StringId::HelpModeMessage), "Select an object on which to get Help" },
        { ToUint(C::FileNew), "Create a new document\nNew" },
        { ToUint(C::FileOpen), "Open an existing document\nOpen" },
        { ToUint(C::FileClose), "Close the active document\nClose" },
        { ToUint(C::FileSave), "Save the active document\nSave" },
        { ToUint(C::FileSaveAs), "Save the active document with a new name\nSave As" },
        { ToUint(C::FilePrintSetup), "Change the printer and printing options\nPrint Setup" },
        { ToUint(C::FilePrint), "Print the active document\nPrint" },
        { ToUint(C::FilePrintPreview), "Display full pages\nPrint Preview" },
        { ToUint(C::FileSendMail), "Send mail wirh open document attached." },
        { ToUint(C::EditCopy), "Copy the selection and put it on the Clipboard\nCopy" },
        { ToUint(C::EditCut), "Cut the selection and put it on the Clipboard\nCut" },
        { ToUint(C::EditFind), "Find the specified text\nFind" },
        { ToUint(C::EditPaste), "Insert Clipboard contents\nPaste" },
        { ToUint(C::EditPasteSpecial), "Insert Clipboard contents with options\nPaste Special" },
        { ToUint(C::EditRepeat), "Repeat the last action\nRepeat" },
        { ToUint(C::EditReplace), "Replace specific text with different text\nReplace" },
        { ToUint(C::EditSelectAll), "Select the entire document\nSelect All" },
        { ToUint(C::EditUndo), "Undo the last action\nUndo" },
        { ToUint(C::WindowNew), "Open another window for the active document\nNew Window" },
        { ToUint(C::WindowArrange), "Arrange icons at the bottom of the window\nArrange Icons" },
        { ToUint(C::WindowCascade), "Arrange windows so they overlap\nCascade Windows" },
        { ToUint(C::WindowTile), "Arrange windows as non-overlapping tiles\nTile Windows" },
        { ToUint(C::AppAbout), "Display program information, version number and copyright\nAbout" },
        { ToUint(C::AppExit), "Quit the application; prompts to save documents\nExit" },
        { ToUint(C::HelpTopics), "List Help topics\nHelp Topics" },
        { ToUint(C::ContextHelp), "Display help for clicked on buttons, menus and windows\nHelp" },
        { ToUint(C::Help), "Display help for current task or command\nHelp" },
        { ToUint(C::NextPane), "Switch to the next window pane\nNext Pane" },
        { ToUint(C::PreviousPane), "Switch back to the previous window pane\nPrevious Pane" },
        { ToUint(StringId::IndicatorExt), "EXT" },
        { ToUint(StringId::IndicatorCaps), "CAP" },
        { ToUint(StringId::IndicatorNum), "NUM" },
        { ToUint(StringId::IndicatorScroll), "SCRL" },
        { ToUint(StringId::IndicatorOverwrite), "OVR" },
        { ToUint(StringId::IndicatorRecord), "REC" },
        { ToUint(C::ViewToolbar), "Show or hide the toolbar\nToggle ToolBar" },
        { ToUint(C::ViewStatusBar), "Show or hide the status bar\nToggle StatusBar" },
    };
    for (uint16_t id = ToUint(C::RecentFileFirst); id <= ToUint(C::RecentFileLast); ++id)
        table.emplace_back(id, "Open this document");
    std::sort(table.begin(), table.end(), [](const auto &a, const auto &b) {
        return a.first < b.first;
    });
    return table;
}

const char *KeyName(VirtualKey key)
{
    switch (key) {
    case K::Backspace:
        return "Backspace";
    case K::Enter:
        return "Enter";
    case K::Escape:
        return "Esc";
    case K::Insert:
        return "Insert";
    case K::Delete:
        return "Delete";
    case K::F1:
        return "F1";
    case K::F3:
        return "F3";
    case K::F6:
        return "F6";
    case K::F9:
        return "F9";
    default:
        return nullptr; // a letter
    }
}

} // namespace

const MenuDefinition *GetMenuResource(uint16_t id)
{
    static const MenuDefinition defaultMenu = DefaultMenu();
    static const MenuDefinition documentMenu = DocumentMenu();
    static const MenuDefinition inPlaceMenu = InPlaceMenu();
    static const MenuDefinition editorPopupMenu = EditorPopupMenu();
    switch (id) {
    case kMainResourceId:
        return &defaultMenu;
    case kDocumentMenuId:
        return &documentMenu;
    case kInPlaceResourceId:
        return &inPlaceMenu;
    case kEditorPopupMenuId:
        return &editorPopupMenu;
    default:
        return nullptr;
    }
}

std::optional<Bytes> LoadMenuResource(uint16_t id)
{
    const MenuDefinition *menu = GetMenuResource(id);
    if (!menu)
        return std::nullopt;
    return WriteMenuTemplate(*menu);
}

const std::vector<Accelerator> *GetAcceleratorTable(uint16_t id)
{
    if (id == kMainResourceId)
        return &MainAccelerators();
    if (id == kInPlaceResourceId)
        return &InPlaceAccelerators();
    return nullptr;
}

std::string AcceleratorText(const Accelerator &accelerator)
{
    std::string text;
    if (accelerator.modifiers & KeyModifier::Control)
        text += "Ctrl+";
    if (accelerator.modifiers & KeyModifier::Shift)
        text += "Shift+";
    if (accelerator.modifiers & KeyModifier::Alt)
        text += "Alt+";
    if (const char *name = KeyName(accelerator.key))
        text += name;
    else
        text += static_cast<char>(accelerator.key);
    return text;
}

const ToolbarResource *GetToolbarResource(uint16_t id)
{
    return id == kMainResourceId ? &MainToolbar() : nullptr;
}

// Compiled in from res/toolbar.bmp.
extern const unsigned char kToolbarBitmap[];
extern const size_t kToolbarBitmapSize;

std::optional<Bytes> LoadBitmapResource(uint16_t id)
{
    if (id != kMainResourceId)
        return std::nullopt;
    return Bytes(kToolbarBitmap, kToolbarBitmap + kToolbarBitmapSize);
}

namespace {

class ProgramResources final : public MenuResources
{
public:
    std::optional<Bytes> Menu(uint16_t id) const override { return LoadMenuResource(id); }
    const ToolbarResource *Toolbar(uint16_t id) const override { return GetToolbarResource(id); }
    std::optional<Bytes> Bitmap(uint16_t id) const override { return LoadBitmapResource(id); }
};

} // namespace

const MenuResources &ProgramMenuResources()
{
    static const ProgramResources resources;
    return resources;
}

const std::vector<std::pair<uint16_t, std::string_view>> &StringTable()
{
    static const std::vector<std::pair<uint16_t, std::string_view>> table = MakeStringTable();
    return table;
}

std::optional<std::string_view> GetResourceString(uint16_t id)
{
    const auto &table = StringTable();
    const auto found =
        std::lower_bound(table.begin(), table.end(), id, [](const auto &entry, uint16_t key) {
            return entry.first < key;
        });
    if (found == table.end() || found->first != id)
        return std::nullopt;
    return found->second;
}

std::optional<std::string_view> GetResourceString(StringId id)
{
    return GetResourceString(ToUint(id));
}

CommandPrompt SplitPrompt(std::string_view prompt)
{
    const size_t newline = prompt.find('\n');
    if (newline == std::string_view::npos)
        return { std::string(prompt), {} };
    return { std::string(prompt.substr(0, newline)), std::string(prompt.substr(newline + 1)) };
}

CommandPrompt PromptOf(uint16_t command)
{
    const std::optional<std::string_view> prompt = GetResourceString(command);
    return prompt ? SplitPrompt(*prompt) : CommandPrompt {};
}

} // namespace ostrel
