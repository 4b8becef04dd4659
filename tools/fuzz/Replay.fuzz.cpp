// libFuzzer harness for the replay reader: ReplayReader::load on any file
// must accept a whole replay or refuse it with one line, and an accepted one
// must be checked against the game's input actions and walked to its end
// with every accessor, as the replay input backend walks it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzFiles.hpp"
#include "core/input/InputManager.hpp"
#include "core/replay/ReplayReader.hpp"
#include "game/InputBindings.hpp"

namespace {
InputManager& gameInput() {
    static InputManager& input = []() -> InputManager& {
        registerInputBindings(InputManager::instance());
        return InputManager::instance();
    }();
    return input;
}
} // namespace

// The game's actions are registered before the first input.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    gameInput();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const InputManager& input = gameInput();
    const std::string path = fuzzFiles::writeInput("run.replay", data, size);
    ReplayReader reader;
    std::string problem;
    if (!reader.load(path, problem)) {
        if (problem.empty() || problem.find('\n') != std::string::npos) {
            std::abort();
        }
        return 0;
    }
    std::string mismatch;
    reader.matches(input, 1.f / 60.f, mismatch);
    const auto& header = reader.getHeader();
    size_t walked = 0;
    float sum = 0.f;
    while (reader.advance()) {
        ++walked;
        sum += reader.getDelta();
        for (const auto& name : header.actionNames) {
            sum += reader.isActionDown(name) ? 1.f : 0.f;
        }
        for (const auto& name : header.axisNames) {
            sum += reader.getAxisValue(name);
        }
        sum += static_cast<float>(reader.getEvents().size());
    }
    if (walked != reader.frameCount() || sum != sum) {
        std::abort();
    }
    return 0;
}
