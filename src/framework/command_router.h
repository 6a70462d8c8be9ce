#pragma once

#include "framework/command_ids.h"
#include "framework/command_target.h"

#include <cstdint>
#include <vector>

namespace ostrel {

// Sends commands along the route: the active view, its document, the main frame, the
// application object, in that order. Any of them may be absent (null).
class CommandRouter
{
public:
    CommandRouter() = default;
    explicit CommandRouter(std::vector<CommandTarget *> route);

    void SetRoute(std::vector<CommandTarget *> route);
    const std::vector<CommandTarget *> &GetRoute() const { return m_route; }

    // Runs the first handler on the route. A command that is disabled right now is not run,
    // whether it came from a menu, a key or a button; false then, and when nothing handles it.
    bool Route(uint16_t id) const;
    bool Route(CommandId id) const { return Route(ToUint(id)); }

    // The first state handler on the route decides. Without one, the command is enabled
    // exactly while some target has a handler for it, and is never checked.
    CommandState QueryState(uint16_t id) const;
    CommandState QueryState(CommandId id) const { return QueryState(ToUint(id)); }

    bool IsEnabled(uint16_t id) const { return QueryState(id).enabled; }
    bool IsEnabled(CommandId id) const { return IsEnabled(ToUint(id)); }

private:
    std::vector<CommandTarget *> m_route;
};

} // namespace ostrel
