// A real match of two computer players saved mid-fight and put back: played
// again from the restored frame it must give, frame for frame, the state the
// first playing gave, whatever was made, cut, turned or destroyed meanwhile,
// and it must bring back the very objects it saved.
#include <vector>

#include "app/MatchSnapshot.hpp"
#include "core/RandomSource.hpp"
#include "game/GameScenario.hpp"
#include "game/player/BeardSegmentComponent.hpp"
#include "game/player/PlayerControllerComponent.hpp"
#include "physics/RigidBodyComponent.hpp"
#include "scene/GameObjectManager.hpp"

namespace {
std::shared_ptr<PlayerControllerComponent> controllerOf(int number) {
    auto object = GameObjectManager::instance().findGameObject("Player" + std::to_string(number));
    return object ? object->getComponent<PlayerControllerComponent>() : nullptr;
}

// The segment `steps` links from the chin of the player's beard, or empty.
std::shared_ptr<BeardSegmentComponent> segmentOf(int number, int steps) {
    auto controller = controllerOf(number);
    auto segment = controller ? controller->beard().firstSegment() : nullptr;
    for (int i = 0; i < steps && segment; ++i) {
        segment = segment->towardTip.lock();
    }
    return segment;
}

uint32_t checksumNow() {
    MatchSnapshot scratch;
    saveMatch(scratch);
    return snapshotChecksum(scratch);
}
} // namespace

class MatchSnapshotStory : public GameScenario {
protected:
    // Plays `count` frames; halfway, cuts player 1's beard three links from
    // the chin (from outside the match, the same on every playing).
    std::vector<uint32_t> playFrames(int count) {
        std::vector<uint32_t> checksums;
        for (int frame = 0; frame < count; ++frame) {
            if (frame == count / 2) {
                if (auto segment = segmentOf(1, 3)) {
                    controllerOf(1)->cutBeard(segment);
                }
            }
            frames(1);
            checksums.push_back(checksumNow());
        }
        return checksums;
    }
};

TEST_F(MatchSnapshotStory, AMatchRestoredMidFightPlaysTheSameFramesAgainWithTheSameObjects) {
    RandomSource::instance().seed(2);
    game.options.noDraw = true;
    game.playerSetup->setComputer(1, true);
    game.playerSetup->setComputer(2, true);
    startMatch();
    // Beards grow ten times as fast as in play: long ones by the save.
    for (int number = 1; number <= 2; ++number) {
        controllerOf(number)->tuning.growInterval = 0.1f;
    }
    frames(600);
    ASSERT_EQ(state(), "Arena");
    ASSERT_GE(controllerOf(1)->beard().segmentCount(), 6);

    MatchSnapshot saved;
    saveMatch(saved);
    const FrameTimes savedTimes = times;
    const uint32_t savedChecksum = snapshotChecksum(saved);
    EXPECT_EQ(checksumNow(), savedChecksum) << "saving changed the match";
    const auto tipBefore = segmentOf(1, 5);
    ASSERT_TRUE(tipBefore);
    const auto tipObject = tipBefore->getGameObject();
    const uint32_t serialBefore = GameObjectManager::instance().lastSerial;

    const std::vector<uint32_t> first = playFrames(240);
    ASSERT_EQ(state(), "Arena") << "the match ended inside the story";
    // The cut took the saved segment out of the match, and beards grew meanwhile.
    EXPECT_TRUE(tipObject->destroyed);
    EXPECT_GT(GameObjectManager::instance().lastSerial, serialBefore);
    MatchSnapshot later;
    saveMatch(later);
    const FrameTimes laterTimes = times;

    ASSERT_TRUE(restoreMatch(saved));
    times = savedTimes;
    EXPECT_EQ(checksumNow(), savedChecksum);
    // The very segment that was cut is back, in the chain and in the world.
    EXPECT_EQ(segmentOf(1, 5), tipBefore);
    EXPECT_FALSE(tipObject->destroyed);
    ASSERT_TRUE(tipObject->rigidBody);
    EXPECT_TRUE(tipObject->rigidBody->liveBody());

    const std::vector<uint32_t> again = playFrames(240);
    ASSERT_EQ(again.size(), first.size());
    for (size_t frame = 0; frame < first.size(); ++frame) {
        ASSERT_EQ(again[frame], first[frame]) << "frame " << frame << " after the restore differs";
    }

    // A state saved later, put back after going back to an earlier one, is also whole.
    ASSERT_TRUE(restoreMatch(saved));
    ASSERT_TRUE(restoreMatch(later));
    times = laterTimes;
    EXPECT_EQ(checksumNow(), first.back());
    frames(60);
    EXPECT_EQ(state(), "Arena");
}
