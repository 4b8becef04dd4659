// The engine's match snapshot without the game: a chain of boxes hinged
// together over a ground, and a marker that only shows. Saved, then changed
// under the snapshot (a link destroyed, an object made with a body and a
// hinge, a hinge taken off), and restored: the same frames played again give
// the same states bit for bit, the destroyed link is back in the world, the
// object made since is out of it, and what only shows stays as it is.
#include <gtest/gtest.h>

#include <vector>

#include "PhysicsScene.hpp"
#include "app/MatchSnapshot.hpp"
#include "physics/RevoluteJointComponent.hpp"

using namespace physics_test;

namespace {
struct MatchRestore : SceneTest {
    void SetUp() override {
        // Drawing never comes due: the window is never made.
        game.frameInterval = 1000.0f;
        PhysicsManager::instance().createWorld(0.0f, 10.0f, 100.0f);
        makeBox("Ground", {0, 600}, {2000, 40}, b2_staticBody);
        for (int i = 0; i < 4; ++i) {
            links.push_back(
                makeBox("Link" + std::to_string(i), {-200.0f + 60.0f * i, 100}, {40, 40}, b2_dynamicBody));
        }
        GameObjectManager::instance().flushPendingAdditions();
        for (int i = 1; i < 4; ++i) {
            hinges.push_back(addComponent<RevoluteJointComponent>(links[i], links[i - 1],
                                                                  sf::Vector2f(-30, 0), sf::Vector2f(30, 0)));
        }
        marker = makeObject("Marker", {5, 5});
        marker->simulated = false;
    }

    // Plays `count` frames from frame `first` of the script; each frame's checksum.
    std::vector<uint32_t> play(int first, int count) {
        std::vector<uint32_t> checksums;
        auto& objects = GameObjectManager::instance();
        for (int frame = first; frame < first + count; ++frame) {
            if (frame == 10) {
                objects.destroyGameObject(links[3]);
            } else if (frame == 20) {
                newcomer = makeBox("Newcomer", {300, 100}, {40, 40}, b2_dynamicBody);
                objects.flushPendingAdditions();
                addComponent<RevoluteJointComponent>(newcomer, links[0], sf::Vector2f(0, 0),
                                                     sf::Vector2f(0, 0));
            } else if (frame == 30) {
                links[1]->removeComponent(hinges[0]);
            }
            game.runFrame(times, [] { return 1.0f / 60.0f; });
            MatchSnapshot now;
            saveMatch(now);
            checksums.push_back(snapshotChecksum(now));
        }
        return checksums;
    }

    Game game;
    FrameTimes times;
    std::vector<std::shared_ptr<GameObject>> links;
    std::vector<std::shared_ptr<RevoluteJointComponent>> hinges;
    std::shared_ptr<GameObject> marker;
    std::shared_ptr<GameObject> newcomer;
};
} // namespace

TEST_F(MatchRestore, ObjectsMadeAndDestroyedSinceTheSaveComeAndGoAndTheFramesRepeat) {
    play(0, 5);
    MatchSnapshot saved;
    saveMatch(saved);
    const FrameTimes savedTimes = times;
    const std::vector<uint32_t> first = play(5, 40);
    EXPECT_TRUE(links[3]->destroyed);
    EXPECT_EQ(links[3]->rigidBody, nullptr)
        << "a destroyed object lets go of its body when it leaves its list";
    ASSERT_TRUE(newcomer && newcomer->rigidBody && newcomer->rigidBody->liveBody());
    const auto firstNewcomer = newcomer;
    EXPECT_EQ(links[1]->getComponent<RevoluteJointComponent>(), nullptr);
    marker->transform->setPosition(70, 80);

    ASSERT_TRUE(restoreMatch(saved));
    times = savedTimes;
    EXPECT_FALSE(links[3]->destroyed);
    ASSERT_TRUE(links[3]->rigidBody);
    EXPECT_TRUE(links[3]->rigidBody->liveBody());
    EXPECT_EQ(links[1]->getComponent<RevoluteJointComponent>(), hinges[0]);
    EXPECT_TRUE(hinges[0]->liveJoint());
    EXPECT_TRUE(firstNewcomer->destroyed);
    EXPECT_EQ(firstNewcomer->rigidBody, nullptr);
    EXPECT_EQ(marker->transform->getPosition(), sf::Vector2f(70, 80)) << "what only shows is not restored";
    EXPECT_EQ(PhysicsManager::instance().world->GetBodyCount(), 5);

    const std::vector<uint32_t> again = play(5, 40);
    ASSERT_EQ(again.size(), first.size());
    for (size_t frame = 0; frame < first.size(); ++frame) {
        EXPECT_EQ(again[frame], first[frame]) << "frame " << frame + 5;
    }
}
