#include <gtest/gtest.h>

#include "render/CameraComponent.hpp"
#include "render/StageCameraControllerComponent.hpp"
#include "scene/GameObjectManager.hpp"

namespace {
class StageCamera : public testing::Test {
protected:
    void SetUp() override {
        auto& objects = GameObjectManager::instance();
        player1 = objects.createGameObject("Player1");
        player2 = objects.createGameObject("Player2");
        stage = objects.createGameObject("Stage");
        camera = addComponent<CameraComponent>(stage, 1920, 1080, 0, 0);
        controller =
            addComponent<StageCameraControllerComponent>(stage, "Player1", "Player2", 1920.0f, 1080.0f);
        objects.update(0, 0); // lists the players, so they can be found
    }

    void place(float x1, float y1, float x2, float y2) {
        player1->transform->setPosition(x1, y1);
        player2->transform->setPosition(x2, y2);
    }

    sf::Vector2f position() const { return stage->transform->getLocalPosition(); }
    sf::Vector2f scale() const { return stage->transform->getScale(); }

    std::shared_ptr<GameObject> player1, player2, stage;
    std::shared_ptr<CameraComponent> camera;
    std::shared_ptr<StageCameraControllerComponent> controller;
};
} // namespace

// Each case of this suite expects no game objects and no main camera yet: the test main resets the engine
// before every case.
TEST_F(StageCamera, PlayersAtOneSpotZoomInTowardsThem) {
    place(300, 200, 300, 200);
    controller->update(0.5f, 0);
    // z = 0 gives the closest zoom 0.7; half the way is covered.
    EXPECT_FLOAT_EQ(scale().x, 0.85f);
    EXPECT_FLOAT_EQ(scale().y, 0.85f);
    EXPECT_FLOAT_EQ(position().x, 150.0f);
    EXPECT_FLOAT_EQ(position().y, 100.0f);
    EXPECT_FLOAT_EQ(camera->getView()->getSize().x, 1920.0f * 0.85f);
}

TEST_F(StageCamera, CoversASixtiethOfTheWayPerFrameAt60Fps) {
    place(0, 0, 0, 0);
    controller->update(1.0f / 60.0f, 0);
    EXPECT_FLOAT_EQ(scale().x, 1.0f - 0.3f / 60.0f);
    EXPECT_EQ(position(), sf::Vector2f(0, 0));
}

TEST_F(StageCamera, TargetCentreIsClampedToAQuarterOfTheFraming) {
    place(1000, 500, 1000, 500);
    controller->update(1.0f, 0);
    EXPECT_FLOAT_EQ(position().x, 480.0f);
    EXPECT_FLOAT_EQ(position().y, 270.0f);
    place(-1000, -600, -1000, -600);
    controller->update(1.0f, 0);
    EXPECT_FLOAT_EQ(position().x, -480.0f);
    EXPECT_FLOAT_EQ(position().y, 10.0f - 270.0f);
}

TEST_F(StageCamera, WideSpreadZoomsOutToTheArenaCentre) {
    place(-1200, -100, 1400, 100);
    controller->update(1.0f, 0);
    EXPECT_FLOAT_EQ(scale().x, 1.3f);
    EXPECT_NEAR(position().x, 0.0f, 1e-3f);
    EXPECT_NEAR(position().y, 0.0f, 1e-3f);
}

TEST_F(StageCamera, PartialZoomOutPullsTheCentreInLinearly) {
    place(-1000, 300, 1200, 300);
    controller->update(1.0f, 0);
    const float zoom = 2200.0f / 1920.0f;
    const float f = 1.0f - (zoom - 1.0f) / 0.29999995f;
    EXPECT_FLOAT_EQ(scale().x, zoom);
    EXPECT_NEAR(position().x, 100.0f * f, 1e-3f);
    EXPECT_NEAR(position().y, 270.0f * f, 1e-3f);
}

// A frame of a second or more (a map loading, a stalled machine) takes the
// camera onto its target, never past it: the players stay in view.
TEST_F(StageCamera, FrameDeltaOverOneSecondLandsOnTheTarget) {
    place(300, 200, 300, 200);
    controller->update(2.0f, 0);
    EXPECT_FLOAT_EQ(scale().x, 0.7f);
    EXPECT_FLOAT_EQ(position().x, 300.0f);
    EXPECT_FLOAT_EQ(position().y, 200.0f);
    place(-300, 200, 500, 100);
    controller->update(0.5f, 0);
    const sf::Vector2f halfway = position();
    controller->update(10.0f, 0);
    EXPECT_FLOAT_EQ(position().x, 2.0f * halfway.x - 300.0f);
    EXPECT_FLOAT_EQ(position().y, 2.0f * halfway.y - 200.0f);
}

TEST_F(StageCamera, OnePlayerFoundStandsInForBoth) {
    place(300, 200, -900, -900);
    player2->active = false;
    controller->update(1.0f, 0);
    EXPECT_FLOAT_EQ(scale().x, 0.7f);
    EXPECT_EQ(position(), sf::Vector2f(300, 200));
}

TEST_F(StageCamera, NothingToFrameLeavesTheTransformAlone) {
    place(300, 200, 300, 200);
    stage->transform->setPosition(5, 6);
    player1->active = false;
    player2->active = false;
    controller->update(1.0f, 0);
    player1->active = true;
    player2->active = true;
    controller->width = 0.0f;
    controller->update(1.0f, 0);
    controller->width = 1920.0f;
    controller->height = 0.0f;
    controller->update(1.0f, 0);
    EXPECT_EQ(position(), sf::Vector2f(5, 6));
    EXPECT_EQ(scale(), sf::Vector2f(1, 1));
}
