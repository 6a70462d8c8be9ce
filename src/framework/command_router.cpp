#include "framework/command_router.h"

#include <utility>

namespace ostrel {

CommandRouter::CommandRouter(std::vector<CommandTarget *> route)
    : m_route(std::move(route))
{
}

void CommandRouter::SetRoute(std::vector<CommandTarget *> route)
{
    m_route = std::move(route);
}

bool CommandRouter::Route(uint16_t id) const
{
    if (!IsEnabled(id))
        return false;
    // A handler may change the route (closing the active view); walk a copy.
    const std::vector<CommandTarget *> route = m_route;
    for (CommandTarget *target : route) {
        if (target && target->RunCommand(id))
            return true;
    }
    return false;
}

CommandState CommandRouter::QueryState(uint16_t id) const
{
    for (CommandTarget *target : m_route) {
        CommandState state;
        if (target && target->UpdateCommandState(id, state))
            return state;
    }
    CommandState state;
    state.enabled = false;
    for (const CommandTarget *target : m_route) {
        if (target && target->HasHandler(id)) {
            state.enabled = true;
            break;
        }
    }
    return state;
}

} // namespace ostrel
