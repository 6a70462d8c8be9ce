#include "menus/menu_resources.h"

namespace ostrel {

int ToolbarImageIndex(const ToolbarResource &toolbar, uint16_t command)
{
    if (command == 0)
        return -1;
    int image = 0;
    for (const uint16_t button : toolbar.buttons) {
        if (button == 0)
            continue;
        if (button == command)
            return image;
        ++image;
    }
    return -1;
}

} // namespace ostrel
