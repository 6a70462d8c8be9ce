#pragma once

#include "framework/binary_fields.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace ostrel {

// A toolbar as the resources describe it: its button size and the commands of its buttons.
struct ToolbarResource
{
    int buttonWidth = 18;
    int buttonHeight = 16;
    std::vector<uint16_t> buttons; // command ids in order; 0 is a separator
    const char *bitmapFile = nullptr; // file in res/ holding the images side by side
};

// The image of a command's button: its ordinal among the buttons that are not separators,
// counted from 0; -1 when the command is not on the toolbar.
int ToolbarImageIndex(const ToolbarResource &toolbar, uint16_t command);

// Where the menus find their resources by id: menu templates, toolbars and toolbar bitmaps.
// The program hands in its compiled-in resources (res/resources.h); tests may hand in others.
class MenuResources
{
public:
    virtual ~MenuResources() = default;
    // The menu as menu-template bytes; nothing for an id that names no menu.
    virtual std::optional<Bytes> Menu(uint16_t id) const = 0;
    // Null for an id that names no toolbar.
    virtual const ToolbarResource *Toolbar(uint16_t id) const = 0;
    // The bytes of the bitmap of the toolbar with that id; nothing for an id that names none.
    virtual std::optional<Bytes> Bitmap(uint16_t id) const = 0;
};

} // namespace ostrel
