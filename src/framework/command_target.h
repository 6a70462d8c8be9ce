#pragma once

#include <cstdint>

namespace ostrel {

// What a state handler decides about a command: enabled or not, and its check mark. `radio`
// asks for a dot instead of a tick on a checked entry.
struct CommandState
{
    bool enabled = true;
    bool checked = false;
    bool radio = false;
};

// An object on the command route (view, document, main frame, application). Classes usually
// derive from CommandTargetOf<T> (command_map.h) and declare a static command map instead of
// implementing these by hand.
class CommandTarget
{
public:
    virtual ~CommandTarget() = default;

    // Runs this target's handler for `id`; false when it has none.
    virtual bool RunCommand(uint16_t id) = 0;
    // Whether this target has a handler for `id`.
    virtual bool HasHandler(uint16_t id) const = 0;
    // Lets this target's state handler for `id` fill `state`; false when it has none.
    virtual bool UpdateCommandState(uint16_t id, CommandState &state) = 0;
};

} // namespace ostrel
