#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "core/GameState.hpp"

// Holds the game's states by name and the one that is current. Switching
// takes effect at once, inside `setState`.
class StateManager {
public:
    static StateManager& instance();
    // Back to the just-constructed manager: no states, none current, no hooks.
    // The current state is dropped without its exit (see resetEngine).
    void reset();

    // The first state registered under a name wins.
    void registerState(std::shared_ptr<GameState> state);
    // Exits the current state, releases the scene's game objects and enters
    // the named state (again, if it is the current one). Unknown names are
    // ignored. While `switchesHeld`, only the name is noted in `heldSwitch`.
    void setState(const std::string& name);
    void exitCurrent();
    // The current state's name; empty when no state is current.
    std::string currentName() const { return currentState ? currentState->name : ""; }

    std::map<std::string, std::shared_ptr<GameState>> states;
    std::shared_ptr<GameState> currentState;
    // Counts the states entered: two moments with the same count lie in
    // the same stay in one state (a match and its restart do not).
    unsigned long entries = 0;
    // Set by a look ahead that will put the match back as it was (the replay
    // viewer's): a switch would release the scene and world it returns to,
    // so the frame asking for one only leaves its name behind.
    bool switchesHeld = false;
    std::string heldSwitch;

    // Set by the application (connectEngine): run on every switch between
    // the old state's exit and the new state's enter, to release the scene's
    // game objects, and whenever a state is left, to drop what the scene
    // left behind. Either may be empty.
    std::function<void()> releaseScene;
    std::function<void()> afterExit;

private:
    StateManager() = default;
};
