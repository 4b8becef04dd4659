#include <gtest/gtest.h>

#include "PhysicsScene.hpp"

using namespace physics_test;

// Layers are never removed and take their bits in order of creation: these
// cases count on a fresh PhysicsManager, which ctest's one process per case
// gives them.

TEST(CollisionLayer, FreshManagerHasOnlyTheDefaultLayer) {
    auto& physics = PhysicsManager::instance();
    ASSERT_EQ(physics.layers.size(), 1u);
    auto layer = physics.getCollisionLayer("_default");
    ASSERT_TRUE(layer);
    EXPECT_EQ(layer->filter.categoryBits, 0x0001);
    EXPECT_EQ(layer->filter.maskBits, 0xFFFF);
    EXPECT_EQ(layer->filter.groupIndex, 0);
}

TEST(CollisionLayer, BitsFollowCreationOrderAndRunOutAfterSixteen) {
    auto& physics = PhysicsManager::instance();
    EXPECT_EQ(physics.getOrCreateCollisionLayer("player1")->filter.categoryBits, 0x0002);
    EXPECT_EQ(physics.getOrCreateCollisionLayer("beard1")->filter.categoryBits, 0x0004);
    // Asking again returns the same layer, no new bit.
    EXPECT_EQ(physics.getOrCreateCollisionLayer("player1"), physics.getCollisionLayer("player1"));
    for (int i = 3; i < 16; ++i) {
        EXPECT_EQ(physics.getOrCreateCollisionLayer("layer" + std::to_string(i))->filter.categoryBits,
                  1 << i);
    }
    testing::internal::CaptureStderr();
    auto seventeenth = physics.getOrCreateCollisionLayer("seventeenth");
    physics.getOrCreateCollisionLayer("seventeenth");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Collision layer 'seventeenth' gets no category bit (only 16 layers have one): it collides "
              "with nothing\n");
    EXPECT_EQ(seventeenth->filter.categoryBits, 0);
    EXPECT_EQ(seventeenth->filter.maskBits, 0xFFFF);
}

TEST(CollisionLayer, UnknownNamesFindNothingAndChangeNothing) {
    auto& physics = PhysicsManager::instance();
    EXPECT_FALSE(physics.getCollisionLayer("nowhere"));
    auto player = physics.getOrCreateCollisionLayer("player1");
    physics.setLayerCollision("player1", "nowhere", false, true);
    physics.setLayerCollision("nowhere", "player1", false, true);
    EXPECT_EQ(player->filter.maskBits, 0xFFFF);
    EXPECT_EQ(physics.layers.size(), 2u);
}

TEST(CollisionLayer, SetLayerCollisionBothWaysAndBack) {
    auto& physics = PhysicsManager::instance();
    auto player = physics.getOrCreateCollisionLayer("player1");
    auto beard = physics.getOrCreateCollisionLayer("beard1");
    physics.setLayerCollision("player1", "beard1", false, true);
    EXPECT_EQ(player->filter.maskBits, 0xFFFF & ~0x0004);
    EXPECT_EQ(beard->filter.maskBits, 0xFFFF & ~0x0002);
    physics.setLayerCollision("player1", "beard1", true, true);
    EXPECT_EQ(player->filter.maskBits, 0xFFFF);
    EXPECT_EQ(beard->filter.maskBits, 0xFFFF);
    // One way changes only the first layer's mask.
    physics.setLayerCollision("beard1", "player1", false, false);
    EXPECT_EQ(player->filter.maskBits, 0xFFFF);
    EXPECT_EQ(beard->filter.maskBits, 0xFFFF & ~0x0002);
}

TEST(CollisionLayer, GroupPropertiesReadAsCollisionRules) {
    auto& physics = PhysicsManager::instance();
    auto players = physics.getOrCreateCollisionLayer("Players");
    auto ghosts = physics.getOrCreateCollisionLayer("Ghosts");
    physics.applyCollisionRules("Ghosts", {{"#Any", "false"}, {"Players", "true"}});
    EXPECT_EQ(ghosts->filter.maskBits, players->filter.categoryBits);
    // Only the group layer's mask changes.
    EXPECT_EQ(players->filter.maskBits, 0xFFFF);

    physics.applyCollisionRule("Ghosts", "#any", "yes");
    EXPECT_EQ(ghosts->filter.maskBits, 0xFFFF);
    physics.applyCollisionRule("Ghosts", "Players", "0");
    EXPECT_EQ(ghosts->filter.maskBits, 0xFFFF & ~players->filter.categoryBits);
    // A layer name nobody registered is no rule at all.
    physics.applyCollisionRule("Ghosts", "Unknown", "false");
    EXPECT_EQ(ghosts->filter.maskBits, 0xFFFF & ~players->filter.categoryBits);
}

TEST(CollisionLayer, MaskChangeReachesExistingFixtures) {
    auto& physics = PhysicsManager::instance();
    physics.createWorld(0.0f, 10.0f, 100.0f);
    auto ghosts = physics.getOrCreateCollisionLayer("Ghosts");
    auto ghost = makeBox("ghost", {0, 0}, {10, 10}, b2_dynamicBody);
    ghost->rigidBody->setCollisionLayer(ghosts);
    auto fixture = ghost->getComponent<ColliderComponent>()->fixture;
    ASSERT_TRUE(fixture);
    EXPECT_EQ(fixture->GetFilterData().categoryBits, ghosts->filter.categoryBits);
    physics.applyCollisionRule("Ghosts", "#Any", "false");
    EXPECT_EQ(fixture->GetFilterData().maskBits, 0);
    // The body left "_default" when it joined "Ghosts".
    EXPECT_TRUE(physics.getCollisionLayer("_default")->bodies.empty());
    ASSERT_EQ(ghosts->bodies.size(), 1u);
}

TEST(CollisionLayer, RefreshDropsBodiesOfDestroyedObjects) {
    auto& physics = PhysicsManager::instance();
    physics.createWorld(0.0f, 10.0f, 100.0f);
    auto layer = physics.getCollisionLayer("_default");
    auto kept = makeBox("kept", {0, 0}, {10, 10}, b2_dynamicBody);
    auto doomed = makeBox("doomed", {100, 0}, {10, 10}, b2_dynamicBody);
    ASSERT_EQ(layer->bodies.size(), 2u);
    GameObjectManager::instance().destroyGameObject(doomed);
    layer->refreshFilters();
    ASSERT_EQ(layer->bodies.size(), 1u);
    EXPECT_EQ(layer->bodies[0], kept->rigidBody.get());
}
