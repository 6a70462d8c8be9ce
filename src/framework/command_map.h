#pragma once

#include "framework/command_ids.h"
#include "framework/command_target.h"

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace ostrel {

// A class's static table of command handlers: id -> handler and id -> state handler, searched
// from the top, so an entry placed before another for the same id wins. Handlers of a base
// class can be listed too (`&Base::OnCopy` converts to a member of T).
template <class T> class CommandMap
{
public:
    using Handler = void (T::*)();
    using RangeHandler = void (T::*)(uint16_t id);
    using StateHandler = void (T::*)(CommandState &state);

    struct Entry
    {
        uint16_t first = 0;
        uint16_t last = 0;
        Handler handler = nullptr;
        RangeHandler rangeHandler = nullptr;
        StateHandler stateHandler = nullptr;
    };

    static Entry On(CommandId id, Handler handler)
    {
        return { ToUint(id), ToUint(id), handler, nullptr, nullptr };
    }
    // One handler for a run of ids (the recent-file list); it is told which id came.
    static Entry OnRange(CommandId first, CommandId last, RangeHandler handler)
    {
        return { ToUint(first), ToUint(last), nullptr, handler, nullptr };
    }
    static Entry OnState(CommandId id, StateHandler handler)
    {
        return { ToUint(id), ToUint(id), nullptr, nullptr, handler };
    }

    CommandMap(std::initializer_list<Entry> entries)
        : m_entries(entries)
    {
    }

    bool Run(T &target, uint16_t id) const
    {
        for (const Entry &entry : m_entries) {
            if (!Covers(entry, id))
                continue;
            if (entry.handler) {
                (target.*entry.handler)();
                return true;
            }
            if (entry.rangeHandler) {
                (target.*entry.rangeHandler)(id);
                return true;
            }
        }
        return false;
    }

    bool Has(uint16_t id) const
    {
        for (const Entry &entry : m_entries) {
            if (Covers(entry, id) && (entry.handler || entry.rangeHandler))
                return true;
        }
        return false;
    }

    bool UpdateState(T &target, uint16_t id, CommandState &state) const
    {
        for (const Entry &entry : m_entries) {
            if (Covers(entry, id) && entry.stateHandler) {
                (target.*entry.stateHandler)(state);
                return true;
            }
        }
        return false;
    }

private:
    static bool Covers(const Entry &entry, uint16_t id)
    {
        return id >= entry.first && id <= entry.last;
    }

    std::vector<Entry> m_entries;
};

// Base for a class whose commands come from `static const CommandMap<Derived> &Commands()`.
template <class Derived> class CommandTargetOf : public CommandTarget
{
public:
    bool RunCommand(uint16_t id) override { return Derived::Commands().Run(Self(), id); }
    bool HasHandler(uint16_t id) const override { return Derived::Commands().Has(id); }
    bool UpdateCommandState(uint16_t id, CommandState &state) override
    {
        return Derived::Commands().UpdateState(Self(), id, state);
    }

private:
    Derived &Self() { return static_cast<Derived &>(*this); }
};

} // namespace ostrel
