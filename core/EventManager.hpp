#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

// Base of everything sent through the EventManager. Listeners tell events
// apart by their class (dynamic_pointer_cast), not by `getType`.
class GameEvent {
public:
    virtual ~GameEvent() = default;
    virtual std::string getType() { return type; }

    // Set by `queueEvent`, so a listener can keep the event alive if it wants.
    std::weak_ptr<GameEvent> self;
    std::string type;
};

// Asks the game to close its window and end the loop.
class ShutdownEvent : public GameEvent {};

class IEventListener {
public:
    virtual ~IEventListener() = default;
    virtual void onEvent(std::shared_ptr<GameEvent> event) = 0;
};

// Delivers queued events and runs deferred calls once per frame, at the end of
// the main loop's update. Listeners are held weakly: dropping the listener
// (or the key of a callback) unregisters it. Work queued while a delivery runs
// waits in the other half of a double buffer.
class EventManager {
public:
    using Callback = std::function<void(std::shared_ptr<GameEvent>)>;

    // Keeps a callback registered for as long as the registrant holds it.
    struct EventKey {
        explicit EventKey(Callback callback) : callback(std::move(callback)) {}
        Callback callback;
    };

    static EventManager& instance();
    // Back to the just-constructed manager: queued events, deferred calls and
    // listeners are dropped undelivered.
    void reset();

    void addListener(const std::shared_ptr<IEventListener>& listener);
    [[nodiscard]] std::shared_ptr<EventKey> addListener(Callback callback);
    // An empty pointer is ignored.
    void queueEvent(const std::shared_ptr<GameEvent>& event);
    // Runs the call at the end of this frame's update (or the next frame's,
    // when queued by a deferred call).
    void invokeLater(std::function<void()> call);
    // Delivers every event queued before the call, then runs the deferred
    // calls. An exception from a listener or a call (an empty call throws
    // std::bad_function_call) passes out after the delivery is tidied: what
    // ran is gone, what was not reached waits for the next call, in order.
    void processEvents();

    bool pending = false;
    bool eventQueueIndex = false;
    std::vector<std::shared_ptr<GameEvent>> eventQueues[2];
    bool callListIndex = false;
    std::vector<std::function<void()>> deferredCalls[2];
    std::vector<std::weak_ptr<IEventListener>> listeners;
    std::vector<std::weak_ptr<EventKey>> keys;

private:
    EventManager() = default;
    void dispatch(const std::shared_ptr<GameEvent>& event);
};
