// A local match played to its end and watched again from its victory screen,
// inside the running game: the replay plays under the viewer to the very
// states and winner the match went through, Escape brings the victory screen
// back as it was, and a rematch afterwards is the match the first one was.
#include <cstdint>
#include <memory>
#include <vector>

#include "app/ReplayViewer.hpp"
#include "common/KeyEvents.hpp"
#include "common/VirtualPads.hpp"
#include "core/input/InputManager.hpp"
#include "game/GameScenario.hpp"
#include "game/bot/BotComponent.hpp"
#include "game/online/MatchChecksum.hpp"
#include "game/states/VictoryState.hpp"
#include "scene/GameObjectManager.hpp"

namespace {
class WatchReplay : public GameScenario {
protected:
    // A frame as long as a wall clock may make it: about 1/60 s on average,
    // never exactly, so that a match starts part of the way into a fixed step.
    float unevenFrame() {
        static constexpr float lengths[] = {0.021f, 0.012f, 0.019f};
        const float delta = lengths[unevenCount++ % 3];
        game.runFrame(times, [delta] { return delta; });
        return delta;
    }

    // Uneven frames until the arena is left, their lengths from the first
    // in the same order: the match's state after each frame that ended in
    // the arena.
    std::vector<uint32_t> playToTheEnd() {
        std::vector<uint32_t> states;
        matchDeltas.clear();
        unevenCount = 0;
        for (int frame = 0; frame < 60 * 60 * 5 && state() == "Arena"; ++frame) {
            matchDeltas.push_back(unevenFrame());
            if (state() == "Arena") {
                states.push_back(matchChecksum());
            }
        }
        return states;
    }
    unsigned unevenCount = 0;
    std::vector<float> matchDeltas;

    // A key pressed and let go, as the window delivers it at the start of a frame.
    void key(sf::Keyboard::Key code) {
        game.queueGuiEvent(keys::pressed(code));
        game.queueGuiEvent(keys::released(code));
        frames(1);
    }

    bool watchShown() const {
        const auto watch = GuiManager::instance().getWidget<widgets::Widget>("victory", "Watch");
        return watch && watch->isVisible() && visible("victory");
    }

    std::shared_ptr<VictoryState> victory() const {
        return std::dynamic_pointer_cast<VictoryState>(StateManager::instance().states.at("Victory"));
    }

    static bool computerPlays(int number) {
        const auto player = GameObjectManager::instance().findGameObject("Player" + std::to_string(number));
        return player && player->getComponent<BotComponent>();
    }
};
} // namespace

TEST_F(WatchReplay, ALocalMatchWatchedFromItsVictoryScreenPlaysAgainAndLeavesNothingBehind) {
    game.playerSetup->setComputer(1, true);
    game.playerSetup->setComputer(2, true);
    game.playerSetup->livesPerMatch = 1;
    // Only the screenshots draw: software drawing is slow.
    game.frameInterval = 1.0e6f;
    start();
    for (int frame = 0; frame < 7; ++frame) {
        unevenFrame();
    }
    // The random arena draws from the run's numbers before the match begins.
    clickPlay("RandomArena");
    unevenFrame();
    ASSERT_EQ(state(), "Arena");
    const std::vector<uint32_t> played = playToTheEnd();
    ASSERT_EQ(state(), "Victory") << "no winner after " << played.size() << " frames";
    ASSERT_GT(played.size(), 60u);
    const int winner = victory()->winner;
    EXPECT_TRUE(watchShown());
    screenshot("watch-replay-victory");

    // By keys, as the other buttons: the first control has the focus, Right
    // goes to the replay's, Enter presses it.
    key(sf::Keyboard::Right);
    EXPECT_EQ(GuiManager::instance().gui.getFocused(),
              GuiManager::instance().getWidget<widgets::Widget>("victory", "Watch"));
    const auto devicesBefore = InputManager::instance().getBackend();
    key(sf::Keyboard::Enter);
    ASSERT_TRUE(game.replayViewer()) << "no viewer opened";
    ReplayViewer& viewer = *game.replayViewer();
    // From the match's first frame to the one that ended it.
    EXPECT_EQ(viewer.frameCount(), played.size() + 1);
    EXPECT_EQ(shownPages(), "");

    // The recorded frame lengths, as the game's own frame loop takes them.
    const auto recordedDelta = [&] { return matchDeltas.at(game.replayFramesPlayed() - 1); };
    std::vector<uint32_t> replayed;
    while (game.replayFramesPlayed() < viewer.frameCount()) {
        game.runFrame(times, recordedDelta);
        if (state() == "Arena") {
            replayed.push_back(matchChecksum());
        }
        if (replayed.size() == played.size() / 2 && game.replayFramesPlayed() == replayed.size()) {
            EXPECT_FALSE(computerPlays(1) || computerPlays(2)) << "the recorded keys play the computer";
            screenshot("watch-replay-viewer");
        }
    }
    EXPECT_EQ(replayed, played);
    // The replay's last frame ends it as the match ended, and stays there.
    EXPECT_EQ(state(), "Victory");
    EXPECT_EQ(victory()->winner, winner);
    EXPECT_FALSE(watchShown()) << "a replay offers no replay of itself";
    frames(3);
    EXPECT_TRUE(game.replaying());

    key(sf::Keyboard::Escape);
    EXPECT_FALSE(game.replayViewer());
    EXPECT_FALSE(game.replaying());
    EXPECT_EQ(state(), "Victory");
    EXPECT_EQ(shownPages(), "victory");
    EXPECT_EQ(victory()->winner, winner);
    EXPECT_TRUE(watchShown()) << "the match can be watched again";
    EXPECT_EQ(InputManager::instance().getBackend(), devicesBefore);
    EXPECT_TRUE(game.playerSetup->isComputer(1) && game.playerSetup->isComputer(2));
    EXPECT_EQ(game.playerSetup->livesPerMatch, 1);
    EXPECT_TRUE(GuiManager::instance().gui.getFocused()) << "the page works by keys again";

    // Watched again, and left with a pad's B, as a page is.
    VirtualPad pad;
    pad.plugIn();
    frames(2);
    click("victory", "Watch");
    frames(3);
    ASSERT_TRUE(game.replaying());
    EXPECT_EQ(state(), "Arena");
    pad.setButton(SDL_CONTROLLER_BUTTON_B, true);
    frames(1);
    pad.setButton(SDL_CONTROLLER_BUTTON_B, false);
    frames(1);
    EXPECT_FALSE(game.replaying());
    EXPECT_EQ(state(), "Victory");
    EXPECT_EQ(shownPages(), "victory");
    pad.unplug();
    frames(1);

    // Nothing of the replay reaches the next match: it is the first match again.
    click("victory", "Rematch");
    frames(1);
    ASSERT_EQ(state(), "Arena");
    EXPECT_TRUE(computerPlays(1) && computerPlays(2));
    EXPECT_EQ(playToTheEnd(), played);
    ASSERT_EQ(state(), "Victory");
    EXPECT_EQ(victory()->winner, winner);
    EXPECT_TRUE(watchShown());
}
