#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "PlayerArena.hpp"
#include "common/CaseReset.hpp"

namespace {
// Both players' states after each frame of a run.
using StateTrace = std::vector<std::array<PlayerState, 2>>;

constexpr int scriptFrames = 560;
// Player 2 starts its run off the right edge here.
constexpr int runOffStart = 200;

bool between(int frame, int from, int to) {
    return frame >= from && frame < to;
}
} // namespace

class PlayerStateRun : public PlayerArenaTest {
protected:
    // A fight from a fresh arena: both run at each other, player 1 jumps and
    // flings twice, player 2 swings at it, then (with `runOff`) player 2 runs
    // off the right edge, falls out and comes back.
    StateTrace play(bool runOff) {
        StateTrace trace;
        buildArena();
        if (!player1 || !player2) {
            return trace;
        }
        for (const auto& player : {player1, player2}) {
            player->tuning.growInterval = 0.2f;
        }
        for (int f = 0; f < scriptFrames; ++f) {
            hold(sf::Keyboard::D, between(f, 30, 90));
            hold(sf::Keyboard::Left, between(f, 30, 90));
            hold(sf::Keyboard::Space, between(f, 100, 103));
            hold(sf::Keyboard::W, between(f, 105, 160));
            hold(sf::Keyboard::G, between(f, 105, 125) || between(f, 135, 150));
            hold(sf::Keyboard::Numpad4, between(f, 120, 150));
            hold(sf::Keyboard::Up, between(f, 120, 140));
            hold(sf::Keyboard::Right, runOff && between(f, runOffStart, 300));
            frame();
            trace.push_back({player1->state(), player2->state()});
        }
        return trace;
    }

    // Back to a process as a case starts in, for the next run.
    void startAfresh() {
        player1.reset();
        player2.reset();
        GameObjectManager::instance().clear(true);
        resetForNextCase();
        devices = std::make_shared<ScriptedInputBackend>();
        PlayerArenaTest::SetUp();
        time = 0.0f;
    }
};

// The state is a value: a copy taken at a frame keeps that frame, two runs of
// the same script agree on every frame's state of both players, and a run
// that parts from the script parts from it in the player that was steered
// differently, at the frame it was.
TEST_F(PlayerStateRun, StatesOfTheSameScriptedFramesCompareEqualAndPartWhereTheInputDoes) {
    const StateTrace first = play(true);
    ASSERT_EQ(first.size(), static_cast<size_t>(scriptFrames));

    // The fight went through the states that matter.
    bool flung = false, usedMagic = false, died = false, turned = false;
    for (const auto& states : first) {
        flung |= states[0].attackTimer > 0.0f;
        usedMagic |= states[0].magicCharges < player1->tuning.maxMagicCharges;
        died |= states[1].isDead();
        turned |= states[1].facingLeft;
    }
    EXPECT_TRUE(flung && usedMagic && died && turned);
    EXPECT_EQ(first.back()[1].lives, 2) << "player 2 ran off the edge once";
    EXPECT_EQ(first[runOffStart][1].lives, 3) << "a copy keeps the frame it was taken at";
    EXPECT_FALSE(first.back()[1].isDead()) << "and came back";

    startAfresh();
    const StateTrace again = play(true);
    ASSERT_EQ(again.size(), first.size());
    for (size_t f = 0; f < first.size(); ++f) {
        ASSERT_TRUE(again[f][0] == first[f][0]) << "player 1 differs at frame " << f;
        ASSERT_TRUE(again[f][1] == first[f][1]) << "player 2 differs at frame " << f;
    }

    startAfresh();
    const StateTrace staying = play(false);
    ASSERT_EQ(staying.size(), first.size());
    size_t parted = first.size();
    for (size_t f = 0; f < first.size() && parted == first.size(); ++f) {
        if (staying[f][1] != first[f][1]) {
            parted = f;
        }
    }
    EXPECT_GE(parted, static_cast<size_t>(runOffStart));
    EXPECT_LT(parted, static_cast<size_t>(runOffStart + 60));
    EXPECT_EQ(staying.back()[1].lives, 3);
    for (size_t f = 0; f < parted; ++f) {
        EXPECT_EQ(staying[f][0], first[f][0]) << "player 1 was steered alike until frame " << parted;
    }
}
