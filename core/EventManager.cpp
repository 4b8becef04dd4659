#include "core/EventManager.hpp"

#include <iterator>

#include "core/FreshState.hpp"

EventManager& EventManager::instance() {
    static EventManager manager;
    return manager;
}

void EventManager::reset() {
    replaceWithFresh(*this, EventManager());
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
    if (!event) {
        return;
    }
    event->self = event;
    eventQueues[eventQueueIndex].push_back(event);
    pending = true;
}

void EventManager::invokeLater(std::function<void()> call) {
    deferredCalls[callListIndex].push_back(std::move(call));
    pending = true;
}

namespace {
// Runs `run` on every item of the taken half of a double buffer, in order,
// and leaves it empty. Should `run` throw, the items it did not reach go to
// the front of the half being filled, ahead of anything queued meanwhile, so
// a caught exception neither delivers an item twice nor loses one.
template <class Item, class Run> void drain(std::vector<Item>& taken, std::vector<Item>& filling, Run run) {
    size_t next = 0;
    try {
        while (next < taken.size()) {
            run(taken[next++]);
        }
    } catch (...) {
        const auto unreached = taken.begin() + static_cast<std::ptrdiff_t>(next);
        filling.insert(filling.begin(), std::make_move_iterator(unreached),
                       std::make_move_iterator(taken.end()));
        taken.clear();
        throw;
    }
    taken.clear();
}
} // namespace

void EventManager::processEvents() {
    if (!pending) {
        return;
    }
    pending = false;

    try {
        // The taken half is no longer filled: listeners queue into the other one.
        auto& events = eventQueues[eventQueueIndex];
        eventQueueIndex = !eventQueueIndex;
        drain(events, eventQueues[eventQueueIndex],
              [this](const std::shared_ptr<GameEvent>& event) { dispatch(event); });

        auto& calls = deferredCalls[callListIndex];
        callListIndex = !callListIndex;
        drain(calls, deferredCalls[callListIndex], [](const std::function<void()>& call) {
            // A copy runs: the stored call belongs to the list.
            auto copy = call;
            copy();
        });
    } catch (...) {
        // What was not reached waits for the next delivery.
        pending = !eventQueues[0].empty() || !eventQueues[1].empty() || !deferredCalls[0].empty() ||
                  !deferredCalls[1].empty();
        throw;
    }
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
