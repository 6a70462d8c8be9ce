#pragma once

#include "contract/line_message.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ostrel {

// Error, warning or note, by whichever of "Error ", "Warning " and "Note " comes first in the
// entry; nothing when none is there.
std::optional<MessageKind> MessageKindOf(std::string_view entry);

// The row one step forward or back from `current` (-1 when no row is current) among
// `navigableRows` (ascending). Going past either end wraps round to the other; -1 when there
// is no navigable row.
int StepMessageRow(const std::vector<int> &navigableRows, int current, bool forward);

} // namespace ostrel
