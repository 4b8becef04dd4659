#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>

#include "common/MapFixtures.hpp"
#include "game/player/PlayerArena.hpp"
#include "physics/MovingPlatformComponent.hpp"

namespace {

// platforms.tmx, built into the player arena's world (both maps centred on
// the origin): "Lift" goes round the 300 x 100 polygon "Square" from its
// corner (200, -800) at 120 px/s; "Ferry" (256 x 32, a static body in the
// file) goes back and forth at 90 px/s along the 600-pixel polyline "Track",
// named by its id, from (-800, -900); "Box" (48 x 48) stands on the ferry.
// "Broken" names a path that does not exist, "Stub" one of a single point.
class MovingPlatformTest : public PlayerArenaTest {
protected:
    void buildWithPlatforms() {
        buildArena(true, [this] {
            ASSERT_TRUE(MapStore::instance().loadMap(VORLUNE_SOURCE_DIR "/tests/game/player/platforms.tmx",
                                                     "platforms"));
            ReportCapture output;
            MapStore::instance().instantiate("platforms", true, false);
            printed = output.text();
        });
    }

    // Where the object's body is (pixels): its transform catches up in the next fixed step.
    static sf::Vector2f at(const std::string& name) {
        auto object = GameObjectManager::instance().findGameObject(name);
        EXPECT_TRUE(object && object->rigidBody && object->rigidBody->liveBody()) << name;
        if (!object || !object->rigidBody || !object->rigidBody->liveBody()) {
            return {};
        }
        return PhysicsManager::instance().toPixels(object->rigidBody->liveBody()->GetPosition());
    }

    static int linesNaming(const std::string& text, const std::string& name) {
        std::istringstream lines(text);
        int count = 0;
        for (std::string line; std::getline(lines, line);) {
            count += line.find("\"" + name + "\"") != std::string::npos;
        }
        return count;
    }

    std::string printed;
};

void expectNear(const sf::Vector2f& actual, const sf::Vector2f& expected, float tolerance) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
}

} // namespace

TEST_F(MovingPlatformTest, LoopGoesRoundItsPolygonAndIsBackAtTheStartAfterOneLap) {
    buildWithPlatforms();
    auto lift = GameObjectManager::instance().findGameObject("Lift")->getComponent<MovingPlatformComponent>();
    ASSERT_TRUE(lift);
    EXPECT_TRUE(lift->loop);
    EXPECT_DOUBLE_EQ(lift->roundLength(), 800.0);
    // 800 pixels at 120 px/s: 400 fixed steps a lap.
    frames(100);
    expectNear(at("Lift"), {400.0f, -800.0f}, 0.05f);
    frames(100);
    expectNear(at("Lift"), {500.0f, -700.0f}, 0.05f);
    frames(150);
    expectNear(at("Lift"), {200.0f, -700.0f}, 0.05f);
    frames(50);
    EXPECT_EQ(lift->stepsTaken(), 400);
    expectNear(at("Lift"), {200.0f, -800.0f}, 0.05f);
    // Not merely passing by: the next step leaves the start along the top again.
    frame();
    expectNear(at("Lift"), {202.0f, -800.0f}, 0.05f);
}

TEST_F(MovingPlatformTest, PolylineGoesBackAndForthAndCarriesWhatStandsOnIt) {
    buildWithPlatforms();
    // Player 2 stands on the ferry, beside the box, and touches no key.
    auto player = player2->getGameObject();
    player->transform->setPosition({-740.0f, -980.0f});
    frames(20);
    const sf::Vector2f playerStart = at("Player2");
    const sf::Vector2f boxStart = at("Box");
    const sf::Vector2f ferryStart = at("Ferry");
    EXPECT_NEAR(ferryStart.x, -800.0f + 20 * 1.5f, 0.05f);
    frames(120);
    // 180 pixels to the right in two seconds, and both riders with it.
    expectNear(at("Ferry"), ferryStart + sf::Vector2f(180.0f, 0.0f), 0.05f);
    EXPECT_NEAR(at("Player2").x - playerStart.x, 180.0f, 6.0f);
    EXPECT_NEAR(at("Player2").y, playerStart.y, 2.0f);
    EXPECT_NEAR(at("Box").x - boxStart.x, 180.0f, 6.0f);
    EXPECT_NEAR(at("Box").y, boxStart.y, 2.0f);
    // 600 pixels out take 400 steps; it turns there and comes back.
    frames(400 - 140 + 200);
    EXPECT_NEAR(at("Ferry").x, -200.0f - 300.0f, 0.05f);
    frames(200);
    EXPECT_NEAR(at("Ferry").x, -800.0f, 0.05f);
    EXPECT_NEAR(at("Ferry").y, -900.0f, 0.05f);
}

TEST_F(MovingPlatformTest, PathThatIsMissingOrTooShortGivesOneLineAndAStillPlatform) {
    buildWithPlatforms();
    EXPECT_EQ(linesNaming(printed, "Broken"), 1) << printed;
    EXPECT_NE(printed.find("Nowhere"), std::string::npos) << printed;
    EXPECT_EQ(linesNaming(printed, "Stub"), 1) << printed;
    EXPECT_NE(printed.find("Dot"), std::string::npos) << printed;
    EXPECT_EQ(linesNaming(printed, "Lift"), 0) << printed;
    EXPECT_EQ(linesNaming(printed, "Ferry"), 0) << printed;
    const sf::Vector2f broken = at("Broken");
    const sf::Vector2f stub = at("Stub");
    frames(60);
    expectNear(at("Broken"), broken, 0.001f);
    expectNear(at("Stub"), stub, 0.001f);
}
