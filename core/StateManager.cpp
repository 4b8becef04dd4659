#include "core/StateManager.hpp"

#include "core/FreshState.hpp"

StateManager& StateManager::instance() {
    static StateManager manager;
    return manager;
}

void StateManager::reset() {
    replaceWithFresh(*this, StateManager());
}

void StateManager::registerState(std::shared_ptr<GameState> state) {
    if (!state) {
        return;
    }
    const std::string name = state->name;
    states.emplace(name, std::move(state));
}

void StateManager::setState(const std::string& name) {
    auto found = states.find(name);
    if (found == states.end()) {
        return;
    }
    if (switchesHeld) {
        heldSwitch = name;
        return;
    }
    // Hold the state: exiting may not drop it, but the map entry is the only other owner.
    auto next = found->second;
    exitCurrent();
    if (releaseScene) {
        releaseScene();
    }
    currentState = next;
    ++entries;
    currentState->enter();
}

void StateManager::exitCurrent() {
    if (currentState) {
        currentState->exit();
    }
    currentState.reset();
    if (afterExit) {
        afterExit();
    }
}
