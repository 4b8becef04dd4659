#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/EventManager.hpp"

namespace {
// An event of the engine's user's own, carrying a value.
class ScoredEvent : public GameEvent {
public:
    int points = 0;
};

struct RecordingListener : IEventListener {
    std::vector<std::shared_ptr<GameEvent>> received;
    std::function<void(std::shared_ptr<GameEvent>)> onReceive;
    void onEvent(std::shared_ptr<GameEvent> event) override {
        received.push_back(event);
        if (onReceive) {
            onReceive(event);
        }
    }
};
} // namespace

TEST(EventManager, NothingPendingDoesNothing) {
    auto& events = EventManager::instance();
    auto listener = std::make_shared<RecordingListener>();
    events.addListener(listener);
    events.processEvents();
    EXPECT_TRUE(listener->received.empty());
    EXPECT_FALSE(events.pending);
}

TEST(EventManager, QueuedEventReachesListenersOnlyAtProcessEvents) {
    auto& events = EventManager::instance();
    auto listener = std::make_shared<RecordingListener>();
    events.addListener(listener);
    auto event = std::make_shared<ScoredEvent>();
    event->points = 2;
    events.queueEvent(event);
    EXPECT_TRUE(listener->received.empty());
    events.processEvents();
    ASSERT_EQ(listener->received.size(), 1u);
    auto scored = std::dynamic_pointer_cast<ScoredEvent>(listener->received[0]);
    ASSERT_TRUE(scored);
    EXPECT_EQ(scored->points, 2);
    EXPECT_EQ(event->self.lock(), event);
    EXPECT_EQ(event->getType(), "");
}

TEST(EventManager, EventQueuedDuringDispatchWaitsForNextFrame) {
    auto& events = EventManager::instance();
    auto listener = std::make_shared<RecordingListener>();
    int queued = 0;
    listener->onReceive = [&](std::shared_ptr<GameEvent>) {
        if (queued++ == 0) {
            events.queueEvent(std::make_shared<ShutdownEvent>());
        }
    };
    events.addListener(listener);
    events.queueEvent(std::make_shared<ScoredEvent>());
    events.processEvents();
    EXPECT_EQ(listener->received.size(), 1u);
    events.processEvents();
    ASSERT_EQ(listener->received.size(), 2u);
    EXPECT_TRUE(std::dynamic_pointer_cast<ShutdownEvent>(listener->received[1]));
}

TEST(EventManager, DeferredCallFromListenerRunsAfterAllEventsOfSameDelivery) {
    auto& events = EventManager::instance();
    std::vector<std::string> order;
    auto listener = std::make_shared<RecordingListener>();
    listener->onReceive = [&](std::shared_ptr<GameEvent> event) {
        order.push_back(std::dynamic_pointer_cast<ShutdownEvent>(event) ? "shutdown" : "scored");
        events.invokeLater([&] { order.push_back("call"); });
    };
    events.addListener(listener);
    events.queueEvent(std::make_shared<ScoredEvent>());
    events.queueEvent(std::make_shared<ShutdownEvent>());
    events.processEvents();
    EXPECT_EQ(order, (std::vector<std::string>{"scored", "shutdown", "call", "call"}));
}

TEST(EventManager, DeferredCallQueuedByDeferredCallWaitsForNextDelivery) {
    auto& events = EventManager::instance();
    int outer = 0, inner = 0;
    events.invokeLater([&] {
        ++outer;
        events.invokeLater([&] { ++inner; });
    });
    events.processEvents();
    EXPECT_EQ(outer, 1);
    EXPECT_EQ(inner, 0);
    events.processEvents();
    EXPECT_EQ(inner, 1);
}

TEST(EventManager, ExpiredListenerIsRemovedAndNextListenerStillServed) {
    auto& events = EventManager::instance();
    auto first = std::make_shared<RecordingListener>();
    auto second = std::make_shared<RecordingListener>();
    events.addListener(first);
    events.addListener(second);
    first.reset();
    events.queueEvent(std::make_shared<ShutdownEvent>());
    events.processEvents();
    EXPECT_EQ(second->received.size(), 1u);
    EXPECT_EQ(events.listeners.size(), 1u);
}

TEST(EventManager, ListenerAddedDuringDispatchIsServedInSameDispatch) {
    auto& events = EventManager::instance();
    auto late = std::make_shared<RecordingListener>();
    auto first = std::make_shared<RecordingListener>();
    first->onReceive = [&](std::shared_ptr<GameEvent>) {
        if (events.listeners.size() == 1) {
            events.addListener(late);
        }
    };
    events.addListener(first);
    events.queueEvent(std::make_shared<ShutdownEvent>());
    events.processEvents();
    EXPECT_EQ(late->received.size(), 1u);
}

TEST(EventManager, ObjectListenersAreServedBeforeCallbacks) {
    auto& events = EventManager::instance();
    std::vector<std::string> order;
    auto key = events.addListener([&](std::shared_ptr<GameEvent>) { order.push_back("callback"); });
    auto listener = std::make_shared<RecordingListener>();
    listener->onReceive = [&](std::shared_ptr<GameEvent>) { order.push_back("object"); };
    events.addListener(listener);
    events.queueEvent(std::make_shared<ShutdownEvent>());
    events.processEvents();
    EXPECT_EQ(order, (std::vector<std::string>{"object", "callback"}));
}

TEST(EventManager, ResettingKeyStopsDelivery) {
    auto& events = EventManager::instance();
    int calls = 0;
    auto key = events.addListener([&](std::shared_ptr<GameEvent>) { ++calls; });
    events.queueEvent(std::make_shared<ShutdownEvent>());
    events.processEvents();
    key.reset();
    events.queueEvent(std::make_shared<ShutdownEvent>());
    events.processEvents();
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(events.keys.empty());
}

TEST(EventManager, EmptyDeferredCallRaisesBadFunctionCall) {
    auto& events = EventManager::instance();
    events.invokeLater(std::function<void()>());
    EXPECT_THROW(events.processEvents(), std::bad_function_call);
}

TEST(EventManager, EmptyEventIsIgnored) {
    auto& events = EventManager::instance();
    auto listener = std::make_shared<RecordingListener>();
    events.addListener(listener);
    events.queueEvent(nullptr);
    EXPECT_FALSE(events.pending);
    events.processEvents();
    EXPECT_TRUE(listener->received.empty());
}

TEST(EventManager, ThrowingListenerOrCallNeitherRepeatsNorLosesWork) {
    auto& events = EventManager::instance();
    auto listener = std::make_shared<RecordingListener>();
    events.addListener(listener);
    auto first = std::make_shared<GameEvent>();
    auto second = std::make_shared<GameEvent>();
    listener->onReceive = [&](std::shared_ptr<GameEvent> event) {
        if (event == first) {
            throw std::runtime_error("listener failed");
        }
    };
    std::vector<std::string> ran;
    events.queueEvent(first);
    events.queueEvent(second);
    events.invokeLater([&] { ran.push_back("before"); });
    EXPECT_THROW(events.processEvents(), std::runtime_error);
    EXPECT_EQ(listener->received, std::vector<std::shared_ptr<GameEvent>>{first});

    // The next delivery carries on where the failed one stopped, once.
    auto third = std::make_shared<GameEvent>();
    events.queueEvent(third);
    events.processEvents();
    EXPECT_EQ(listener->received, (std::vector<std::shared_ptr<GameEvent>>{first, second, third}));
    EXPECT_EQ(ran, std::vector<std::string>{"before"});

    events.invokeLater([&] { throw std::runtime_error("call failed"); });
    events.invokeLater([&] { ran.push_back("after"); });
    EXPECT_THROW(events.processEvents(), std::runtime_error);
    events.processEvents();
    events.processEvents();
    EXPECT_EQ(ran, (std::vector<std::string>{"before", "after"}));
    EXPECT_EQ(listener->received.size(), 3u) << "no event came again";
    EXPECT_FALSE(events.pending);
}
