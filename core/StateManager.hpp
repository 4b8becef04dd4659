#pragma once

#include <map>
#include <memory>
#include <string>

#include "core/GameState.hpp"

// Holds the game's states by name and the one that is current. Switching
// takes effect at once, inside `setState`.
class StateManager {
public:
    static StateManager& instance();

    // The first state registered under a name wins.
    void registerState(std::shared_ptr<GameState> state);
    // Exits the current state, releases the scene's game objects and enters
    // the named state (again, if it is the current one). Unknown names are ignored.
    void setState(const std::string& name);
    void exitCurrent();
    // The current state's name; empty when no state is current.
    std::string currentName() const { return currentState ? currentState->name : ""; }

    std::map<std::string, std::shared_ptr<GameState>> states;
    std::shared_ptr<GameState> currentState;

private:
    StateManager() = default;
};
