#pragma once

#include "platform/image_list.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace ostrel {

// What an owner-drawn menu entry shows: its text, the image of the toolbar button of the same
// command, and the flags it was last appended or modified with. Owned by the CIconMenu whose
// m_items holds it.
struct CIconMenuItem
{
    std::optional<std::u16string> text; // label, then a tab and the accelerator
    int32_t imageIndex = -1; // in `images`; -1: no image
    int32_t iconResourceId = -1; // toolbar (and its bitmap) that gives the image; -1: none
    uint32_t flags = 0;
    uint32_t commandId = 0; // the submenu's handle for an entry that opens one; 0: separator
    int32_t syncMark = 0;
    std::unique_ptr<ImageList> images; // every image of the toolbar's bitmap

    // A copy; null frees the text.
    void SetText(const std::u16string *newText)
    {
        text = newText ? std::optional<std::u16string>(*newText) : std::nullopt;
    }
    // The 8-bit form (empty without a text).
    std::string Text8() const;
};

} // namespace ostrel
