#pragma once

#include <memory>

#include "common/VirtualPads.hpp"
#include "game/GameScenario.hpp"

// The real game with SDL's virtual pads: the scripted keys of `tap` and the
// rest sit over the real pads, which the game reads through its GamepadHub
// as it reads real ones.
class PadScenario : public GameScenario {
protected:
    void SetUp() override {
        GameScenario::SetUp();
        devices = keysAndPads;
        input.setBackend(keysAndPads);
    }

    // Pressed for one frame, let go for one.
    void press(VirtualPad& pad, int button) {
        pad.setButton(button, true);
        frames(1);
        pad.setButton(button, false);
        frames(1);
    }

    std::shared_ptr<ScriptedKeysRealPads> keysAndPads = std::make_shared<ScriptedKeysRealPads>();
};
