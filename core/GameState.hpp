#pragma once

#include <string>

#include <SFML/Graphics/RenderTarget.hpp>

class StateIo;

// One screen or mode of a game ("Menu", "Arena", ...), registered once with
// the StateManager under its name. The constructor does one-time set-up;
// `enter` does what must be redone on every entry.
class GameState {
public:
    explicit GameState(std::string name) : name(std::move(name)) {}
    virtual ~GameState() = default;

    virtual void enter() = 0;
    // Every frame while current, before the game objects are updated.
    virtual void update(float delta, float time) = 0;
    // Every drawn frame while current, into the window under the main camera's
    // view, before the components.
    virtual void draw(float delta, float time, sf::RenderTarget& target) = 0;
    virtual void exit() = 0;
    // While true, the frame loop holds the scene still (a pause): no fixed
    // steps, no physics, no object updates; the state itself still updates
    // and everything is still drawn.
    virtual bool holdsWorld() const { return false; }
    // While true, a page over the scene (a pause) has the keys: the frame
    // loop tells the InputManager (InputManager::setPageOpen), so that what
    // is pressed on the page never reaches the scene.
    virtual bool pageHasKeys() const { return holdsWorld(); }
    // Names the state's own fields that the match's later frames read (its
    // clocks, what it counts, a page that holds the world), saving them into
    // a match snapshot or restoring them (see StateIo). None by default.
    virtual void snapshotState(StateIo&) {}

    const std::string name;
};
