#pragma once
// Event types shared by every component, and the one way events are raised.
//
// An event is a public std::function member named On...; an empty one is
// skipped. A handler may reassign or clear the very event that is running
// it (or any other), so the handler is copied before it is called.

#include <functional>
#include <utility>

#include "platform/Object.h"

namespace zelkor {

using TNotifyEvent = std::function<void(TObject* Sender)>;

// Raise `event` with `args` if a handler is assigned. Returns whether one ran.
template <class Event, class... Args>
bool Fire(const Event& event, Args&&... args) {
    if (!event) return false;
    Event handler = event;
    handler(std::forward<Args>(args)...);
    return true;
}

} // namespace zelkor
