#include "core/Game.hpp"

#include <cmath>
#include <cstdio>

#include <SFML/System/Clock.hpp>
#include <SFML/Window/Event.hpp>

#include "core/GuiManager.hpp"
#include "core/InputManager.hpp"
#include "core/StateManager.hpp"
#include "physics/PhysicsManager.hpp"
#include "render/RenderManager.hpp"
#include "scene/GameObjectManager.hpp"
#include "scene/SoundManager.hpp"

bool Game::run() {
    if (!init()) {
        return false;
    }
    FrameTimes times;
    const auto frameClock = [] {
        static sf::Clock clock;
        return clock.restart().asSeconds();
    };
    while (window.isOpen()) {
        runFrame(times, frameClock);
    }
    shutdown();
    return true;
}

bool Game::init() {
    const sf::ContextSettings settings;
    window.create(sf::VideoMode(width, height, 32), title,
                  sf::Style::Titlebar | sf::Style::Resize | sf::Style::Close, settings);
    if (!window.isOpen()) {
        std::printf("Couldn't create the %ux%u window\n", width, height);
        return false;
    }
    if (!worldTexture.create(width, height, settings)) {
        std::printf("Couldn't create the %ux%u world texture\n", width, height);
        window.close();
        return false;
    }
    worldTexture.setSmooth(true);
    auto& overlayTexture = RenderManager::instance().overlayTexture;
    if (!overlayTexture.create(width, height)) {
        std::printf("Couldn't create the %ux%u overlay texture\n", width, height);
        window.close();
        return false;
    }
    overlayTexture.setSmooth(true);
    worldSprite.setTexture(worldTexture.getTexture(), true);
    overlaySprite.setTexture(overlayTexture.getTexture(), true);

    // An empty world until a state makes its own.
    PhysicsManager::instance().createWorld(0.0f, 0.0f, 100.0f);

    InputManager::instance().window = &window;
    GuiManager::instance().setWindow(window);

    shutdownListenerKey = EventManager::instance().addListener([this](std::shared_ptr<GameEvent> event) {
        if (std::dynamic_pointer_cast<ShutdownEvent>(event)) {
            window.close();
            shutdownListenerKey.reset();
        }
    });

    onInit();
    return true;
}

void Game::pollWindowEvents() {
    sf::Event event;
    while (window.pollEvent(event)) {
        // The GUI sees every event first; button handlers run here.
        GuiManager::instance().handleEvent(event);
        // Closing does not cut the frame short: the loop ends at its open test.
        if (event.type == sf::Event::Closed) {
            window.close();
        }
    }
}

void Game::runFrame(FrameTimes& times, const std::function<float()>& frameDelta) {
    pollWindowEvents();

    const float delta = frameDelta();
    times.elapsed += delta;
    times.physicsAccumulator += delta;
    times.frameAccumulator += delta;

    auto& physics = PhysicsManager::instance();
    if (times.physicsAccumulator >= fixedDelta) {
        physics.flushPendingDestructions();
    }

    // Each fixed update is followed by its own world step, and the forces it
    // applied are cleared after that step: a slow frame that catches up with
    // several steps moves the world exactly as several quick frames would.
    // (Running all fixed updates before all steps made every force act once
    // per update and step, n x n times in a frame of n steps.)
    while (times.physicsAccumulator >= fixedDelta) {
        times.fixedTime += fixedDelta;
        fixedUpdate(fixedDelta, times.fixedTime);
        physics.stepWorld(fixedDelta);
        physics.clearForces();
        times.physicsAccumulator -= fixedDelta;
    }
    // Forces applied outside a fixed step never carry into the next frame.
    physics.clearForces();

    update(delta, times.elapsed);

    // Draw at most once per frame, and only when more than one interval has
    // gathered; the part below one interval carries over.
    if (times.frameAccumulator > frameInterval) {
        const float intervals = std::trunc(times.frameAccumulator / frameInterval);
        const float drawDelta = intervals * frameInterval;
        times.drawTime += drawDelta;
        draw(drawDelta, times.drawTime);
        times.frameAccumulator -= drawDelta;
    }
}

void Game::fixedUpdate(float step, float time) {
    SoundManager::instance().removeStopped();
    onFixedUpdate(step, time);
    auto& objects = GameObjectManager::instance();
    for (size_t i = 0; i < objects.sceneObjects.size(); ++i) {
        auto object = objects.sceneObjects[i];
        object->fixedUpdate(step, time);
    }
    for (size_t i = 0; i < objects.persistentObjects.size(); ++i) {
        auto object = objects.persistentObjects[i];
        object->fixedUpdate(step, time);
    }
}

void Game::update(float delta, float time) {
    InputManager::instance().update();
    auto& states = StateManager::instance();
    if (states.currentState) {
        // Held: the state may switch states from inside its own update.
        auto state = states.currentState;
        state->update(delta, time);
    }
    GameObjectManager::instance().update(delta, time);
    onUpdate(delta, time);
    EventManager::instance().processEvents();
}

void Game::draw(float delta, float time) {
    window.clear(sf::Color::Transparent);
    worldTexture.clear(sf::Color::Transparent);
    if (auto state = StateManager::instance().currentState) {
        state->draw(delta, time, worldTexture);
    }
    auto& render = RenderManager::instance();
    render.drawAll(worldTexture, delta, time);
    onDraw(delta, time, worldTexture);
    worldTexture.display();
    render.overlayTexture.display();
    window.draw(worldSprite);
    // The GUI lies between the world and the overlay.
    GuiManager::instance().draw();
    window.draw(overlaySprite);
    window.display();
    // What was drawn into the overlay since the last drawn frame is shown once.
    render.overlayTexture.clear(sf::Color::Transparent);
    // Clearing the overlay binds its frame buffer; give the window its own
    // back, so that reading the window (screenshots) sees the window.
    window.setActive(true);
}

void Game::shutdown() {
    onShutdown();
    StateManager::instance().exitCurrent();
    GameObjectManager::instance().clear(true);
}
