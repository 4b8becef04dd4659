#include "core/EventManager.hpp"

EventManager& EventManager::instance() {
    static EventManager manager;
    return manager;
}

void EventManager::addListener(const std::shared_ptr<IEventListener>& listener) {
    listeners.push_back(listener);
}

std::shared_ptr<EventManager::EventKey> EventManager::addListener(Callback callback) {
    auto key = std::make_shared<EventKey>(std::move(callback));
    keys.push_back(key);
    return key;
}

void EventManager::queueEvent(const std::shared_ptr<GameEvent>& event) {
    event->self = event;
    eventQueues[eventQueueIndex].push_back(event);
    pending = true;
}

void EventManager::invokeLater(std::function<void()> call) {
    deferredCalls[callListIndex].push_back(std::move(call));
    pending = true;
}

void EventManager::processEvents() {
    if (!pending) {
        return;
    }
    pending = false;

    auto& events = eventQueues[eventQueueIndex];
    eventQueueIndex = !eventQueueIndex;
    // `events` is no longer filled: listeners queue into the other buffer.
    for (size_t i = 0; i < events.size(); ++i) {
        dispatch(events[i]);
    }
    events.clear();

    auto& calls = deferredCalls[callListIndex];
    callListIndex = !callListIndex;
    for (size_t i = 0; i < calls.size(); ++i) {
        auto call = calls[i];
        call();
    }
    calls.clear();
}

void EventManager::dispatch(const std::shared_ptr<GameEvent>& event) {
    // Lengths are read afresh each step: listeners added during the dispatch
    // are served in it, expired ones are erased in place.
    for (size_t i = 0; i < listeners.size();) {
        auto listener = listeners[i].lock();
        if (!listener) {
            listeners.erase(listeners.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        listener->onEvent(event);
        ++i;
    }
    for (size_t i = 0; i < keys.size();) {
        auto key = keys[i].lock();
        if (!key) {
            keys.erase(keys.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        key->callback(event);
        ++i;
    }
}
