// Pads while a simulation gate decides when the game moves on (online play):
// passes that step nothing still hear the pads, their happenings reach the
// recording, and the menus' repeat keeps to real time.
#include <chrono>
#include <thread>

#include "app/SimulationGate.hpp"
#include "common/TestOutput.hpp"
#include "common/VirtualPads.hpp"
#include "core/input/GamepadHub.hpp"
#include "game/GameScenario.hpp"
#include "game/TracingGame.hpp"
#include "game/pads/PadScenario.hpp"
#include "game/player/PlayerControllerComponent.hpp"
#include "widgets/EditBox.hpp"

namespace {
using Clock = std::chrono::steady_clock;

// Steps only when told to, as online play does while the other side's input is late.
class StepWhenTold : public SimulationGate {
public:
    bool beginFrame() override { return steps; }
    void endFrame() override {}
    float secondsUntilDue() const override { return 0.0f; }
    bool steps = false;
};

class GatedPads : public PadScenario {};
} // namespace

TEST_F(GatedPads, APadLostAndBackInPassesThatStepNothingIsRecordedWithTheNextFrameThatSteps) {
    VirtualPad pad("Pad A", 0x1209, 0x000A);
    start();
    frames(2);
    pad.plugIn();
    frames(1);
    // Play and the first arena, by the pad, which takes player 1.
    press(pad, SDL_CONTROLLER_BUTTON_A);
    press(pad, SDL_CONTROLLER_BUTTON_A);
    ASSERT_EQ(state(), "Arena");
    frames(20);

    const std::string path = testOutputPath("gated-pads/lost-and-back.replay");
    ASSERT_TRUE(game.startRecording(path));
    StepWhenTold gate;
    game.setSimulationGate(&gate);
    frames(2);
    pad.unplug();
    frames(3);
    gate.steps = true;
    frames(1);
    EXPECT_TRUE(visible("padLost")) << "the frame that stepped delivered the loss";
    gate.steps = false;
    frames(2);
    pad.plugIn();
    frames(3);
    gate.steps = true;
    frames(1);
    EXPECT_FALSE(visible("padLost")) << "nor is the pad's return lost";
    game.setSimulationGate(nullptr);
    ASSERT_TRUE(game.finishRecording());

    // Exactly the two frames that stepped, each with what the passes before it heard.
    std::vector<std::string> frameLines;
    for (const auto& line : readLines(path)) {
        if (line.rfind("f ", 0) == 0) {
            frameLines.push_back("f");
        } else if (line.rfind("g pad", 0) == 0 || line.rfind("end", 0) == 0) {
            frameLines.push_back(line);
        }
    }
    EXPECT_EQ(frameLines, (std::vector<std::string>{"f", "g padlost 0", "f", "g padback 0", "end 2"}));
}

TEST_F(GatedPads, AHeldDpadRepeatsInTheMenuAtItsOwnPaceWhileHosting) {
    // Only the loopback interface in tests.
    game.options.hostAddress = "127.0.0.1";
    // Quick passes, as a hosting game makes them between frames; no pass long
    // enough for the loop to cap its time.
    game.options.noDraw = true;
    VirtualPad pad("Pad A", 0x1209, 0x000A);
    start();
    // The title menu makes the players' animation frames first, a long pass at a time.
    for (int i = 0; i < 3000 && !(PlayerControllerComponent::animationFramesMade(1) &&
                                  PlayerControllerComponent::animationFramesMade(2));
         ++i) {
        frames(1);
    }
    click("menu", "Online");
    const auto port = GuiManager::instance().getWidget<widgets::EditBox>("mOnline", "HostPort");
    ASSERT_TRUE(port);
    port->setText("0");
    click("mOnline", "Host");
    ASSERT_TRUE(game.online);
    frames(1);
    ASSERT_TRUE(game.simulationGate()) << "hosting paces the loop";
    pad.plugIn();
    frames(1);

    int downs = 0;
    GuiManager::instance().eventCapture = [&downs](const sf::Event& event) {
        downs += event.type == sf::Event::KeyPressed && event.key.code == sf::Keyboard::Down ? 1 : 0;
        return false;
    };
    pad.setButton(SDL_CONTROLLER_BUTTON_DPAD_DOWN, true);
    const auto from = Clock::now();
    // Passes as the loop makes them while it waits for a guest: a few milliseconds apart.
    while (Clock::now() - from < std::chrono::milliseconds(1500)) {
        frames(1);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    const float held = std::chrono::duration<float>(Clock::now() - from).count();
    pad.setButton(SDL_CONTROLLER_BUTTON_DPAD_DOWN, false);
    frames(2);
    GuiManager::instance().eventCapture = nullptr;

    // The press, then a repeat after the delay and every interval after it.
    const int expected =
        1 + static_cast<int>((held - GamepadHub::menuRepeatDelay) / GamepadHub::menuRepeatInterval) + 1;
    // Never more than real time allows (the old fault repeated per pass); a
    // busy machine's slow passes may cost a few repeats, but it repeats.
    EXPECT_GE(downs, 2) << "held " << held << " s";
    EXPECT_LE(downs, expected + 1) << "held " << held << " s";
}
