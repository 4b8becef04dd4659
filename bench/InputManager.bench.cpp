// What sampling the input costs per frame with SFML's real devices: the
// joystick queries the InputManager makes, and SFML's own joystick refresh that
// the window runs while it polls events.
#include <benchmark/benchmark.h>

#include <SFML/Window/Joystick.hpp>
#include <SFML/Window/Window.hpp>

#include "core/input/InputManager.hpp"

static void JoystickIsConnected(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(sf::Joystick::isConnected(0));
    }
}
BENCHMARK(JoystickIsConnected);

static void JoystickRefresh(benchmark::State& state) {
    for (auto _ : state) {
        sf::Joystick::update();
    }
}
BENCHMARK(JoystickRefresh);

// As in the game, a window holds the display connection open; without one
// every key query would connect to the display anew.
static bool openWindow(sf::Window& window, benchmark::State& state) {
    window.create(sf::VideoMode(64, 64), "bench");
    if (!window.isOpen()) {
        state.SkipWithError("no window");
    }
    return window.isOpen();
}

static void KeyQuery(benchmark::State& state) {
    sf::Window window;
    if (!openWindow(window, state)) {
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(sf::Keyboard::isKeyPressed(sf::Keyboard::A));
    }
}
BENCHMARK(KeyQuery);

// Eight actions and four axes, as many as the game binds.
static void SampleAndReadAllAxes(benchmark::State& state) {
    sf::Window window;
    if (!openWindow(window, state)) {
        return;
    }
    auto& input = InputManager::instance();
    for (int player = 0; player < 2; ++player) {
        const std::string prefix = "Player" + std::to_string(player + 1);
        for (const char* action : {" Jump", " Beard", " Magic", " Extra"}) {
            input.addAction(prefix + action, false);
            input.addKey(prefix + action, sf::Keyboard::Space);
            input.addJoystickButton(prefix + action, 0, player);
        }
        for (const char* axis : {" Horizontal", " Vertical"}) {
            input.addAxis(prefix + axis);
            input.addAxisKey(prefix + axis, sf::Keyboard::A, -1.0f);
            input.addAxisKey(prefix + axis, sf::Keyboard::D, 1.0f);
            input.addJoystickAxis(prefix + axis, sf::Joystick::X, player);
        }
    }
    for (auto _ : state) {
        input.update();
        for (const auto& axis : input.axes) {
            benchmark::DoNotOptimize(input.getAxis(axis.first));
        }
    }
}
BENCHMARK(SampleAndReadAllAxes);

BENCHMARK_MAIN();
