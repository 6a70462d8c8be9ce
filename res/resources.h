#pragma once

#include "framework/binary_fields.h"
#include "framework/command_ids.h"
#include "menus/menu_resources.h"
#include "menus/menu_template.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ostrel {

// The program's resources, declared once as data: menus, accelerator tables, the toolbar's
// button list and the string table. The Qt layer builds its menus, actions, shortcuts and
// toolbar from these; nothing else repeats their texts.

// Resource ids.
constexpr uint16_t kMainResourceId = 128; // menu without a document, accelerators, toolbar, icon
constexpr uint16_t kDocumentMenuId = 129; // menu while a source document is open
constexpr uint16_t kInPlaceResourceId =
    6; // menu and accelerators while an object is edited in place
constexpr uint16_t kEditorPopupMenuId = 137; // the source view's context menu ("FloatMenu")

// Null for an id that names no menu.
const MenuDefinition *GetMenuResource(uint16_t id);
// The menu as menu-template bytes, the form the menu loaders read.
std::optional<Bytes> LoadMenuResource(uint16_t id);

// Virtual-key codes of the keys the accelerator tables use.
enum class VirtualKey : uint16_t {
    Backspace = 0x08,
    Enter = 0x0D,
    Escape = 0x1B,
    Insert = 0x2D,
    Delete = 0x2E,
    A = 'A',
    C = 'C',
    F = 'F',
    H = 'H',
    N = 'N',
    O = 'O',
    P = 'P',
    S = 'S',
    V = 'V',
    X = 'X',
    Z = 'Z',
    F1 = 0x70,
    F3 = 0x72,
    F6 = 0x75,
    F9 = 0x78,
};

struct KeyModifier
{
    static constexpr uint8_t None = 0x00;
    static constexpr uint8_t Shift = 0x04;
    static constexpr uint8_t Control = 0x08;
    static constexpr uint8_t Alt = 0x10;
};

struct Accelerator
{
    VirtualKey key;
    uint8_t modifiers; // KeyModifier bits
    uint16_t command;
};

// Null for an id that names no accelerator table.
const std::vector<Accelerator> *GetAcceleratorTable(uint16_t id);
// The key as people write it: "Ctrl+Insert", "Shift+F6", "Alt+Backspace", "Esc".
std::string AcceleratorText(const Accelerator &accelerator);

// Null for an id that names no toolbar.
const ToolbarResource *GetToolbarResource(uint16_t id);
// The bytes of the bitmap file of the toolbar with that id; nothing for an id that names none.
std::optional<Bytes> LoadBitmapResource(uint16_t id);
// The resources above as the menus read them.
const MenuResources &ProgramMenuResources();

// The text stored under `id`; nothing when the table has none.
std::optional<std::string_view> GetResourceString(uint16_t id);
std::optional<std::string_view> GetResourceString(StringId id);
// Every entry of the string table, in id order.
const std::vector<std::pair<uint16_t, std::string_view>> &StringTable();

// A command's prompt: the status-bar text before the first "\n" and the tooltip after it.
struct CommandPrompt
{
    std::string status;
    std::string tooltip; // empty when the prompt has no "\n"
};
CommandPrompt SplitPrompt(std::string_view prompt);
// The prompt stored under a command id; empty for a command without one.
CommandPrompt PromptOf(uint16_t command);
inline CommandPrompt PromptOf(CommandId command)
{
    return PromptOf(ToUint(command));
}

} // namespace ostrel
