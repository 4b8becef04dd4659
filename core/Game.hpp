#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Sprite.hpp>

#include "core/EventManager.hpp"

// The times the frame loop carries from one frame to the next (seconds).
// `run` keeps one of these as its local loop state.
struct FrameTimes {
    float elapsed = 0.0f;
    float physicsAccumulator = 0.0f;
    float frameAccumulator = 0.0f;
    float fixedTime = 0.0f;
    float drawTime = 0.0f;
};

// The engine's application object: owns the window and the off-screen world
// texture, runs the frame loop (fixed 1/60 s physics steps, capped drawing)
// and calls the engine's singletons in a fixed order each frame. A game
// derives from it and fills in the hooks.
class Game {
public:
    Game() = default;
    virtual ~Game() = default;
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // Start-up, the frame loop until the window closes, shutdown. False (at
    // once) when the window or its textures could not be created.
    bool run();

    // Creates the window and textures, binds the managers, calls `onInit`.
    // False when the graphics context could not be set up.
    bool init();
    // One pass of the loop body. `frameDelta` is asked once per frame for the
    // seconds since the previous frame; `run` passes its static frame clock.
    void runFrame(FrameTimes& times, const std::function<float()>& frameDelta);
    void update(float delta, float time);
    void fixedUpdate(float step, float time);
    void draw(float delta, float time);
    void shutdown();

    virtual void onInit() {}
    virtual void onUpdate(float, float) {}
    virtual void onFixedUpdate(float, float) {}
    virtual void onDraw(float, float, sf::RenderTarget&) {}
    virtual void onShutdown() {}

    // Everything of the world is drawn here, then shown in the window.
    sf::RenderTexture worldTexture;
    sf::Sprite worldSprite;
    sf::Sprite overlaySprite;
    // Keeps the shutdown listener registered; dropped when the window closes.
    std::shared_ptr<EventManager::EventKey> shutdownListenerKey;
    sf::RenderWindow window;
    uint32_t width = 1920;
    uint32_t height = 1080;
    std::string title = "Vorlune";
    // Length of one physics step (seconds).
    float fixedDelta = 1.0f / 60.0f;
    // Shortest time between two drawn frames (seconds).
    float frameInterval = 1.0f / 60.0f;

private:
    void pollWindowEvents();
};
