#include <gtest/gtest.h>

#include <cmath>

#include "scene/GameObjectManager.hpp"

namespace {
std::shared_ptr<GameObject> make(const std::string& name) {
    return GameObjectManager::instance().createGameObject(name);
}
} // namespace

TEST(TransformComponent, WithoutParentWorldValuesAreLocal) {
    auto object = make("solo");
    object->transform->setPosition(10.0f, -4.0f);
    object->transform->setRotation(30.0f);
    object->transform->setScale(2.0f, 3.0f);
    EXPECT_EQ(object->transform->getPosition(), sf::Vector2f(10.0f, -4.0f));
    EXPECT_FLOAT_EQ(object->transform->getRotation(), 30.0f);
    EXPECT_EQ(object->transform->getWorldScale(), sf::Vector2f(2.0f, 3.0f));
}

TEST(TransformComponent, DetachedTransformHasIdentityWorldTransform) {
    TransformComponent loose;
    loose.setPosition(5.0f, 5.0f);
    EXPECT_EQ(loose.getWorldTransform().transformPoint(1.0f, 2.0f), sf::Vector2f(1.0f, 2.0f));
}

TEST(TransformComponent, ChildPositionRotationAndScaleFollowRotatedScaledParent) {
    auto parent = make("parent");
    auto child = make("child");
    child->parent = parent;
    parent->transform->setPosition(100.0f, 50.0f);
    parent->transform->setRotation(90.0f);
    parent->transform->setScale(2.0f, 2.0f);
    child->transform->setPosition(10.0f, 0.0f);
    child->transform->setRotation(45.0f);

    sf::Vector2f position = child->transform->getPosition();
    EXPECT_NEAR(position.x, 100.0f, 1e-3f);
    EXPECT_NEAR(position.y, 70.0f, 1e-3f);
    EXPECT_NEAR(child->transform->getRotation(), 135.0f, 1e-3f);
    sf::Vector2f scale = child->transform->getWorldScale();
    EXPECT_NEAR(scale.x, 2.0f, 1e-4f);
    EXPECT_NEAR(scale.y, 2.0f, 1e-4f);
}

TEST(TransformComponent, NegativeAnglesAndMirroredScaleComeOutOfTheMatrix) {
    auto parent = make("parent");
    auto child = make("child");
    child->parent = parent;
    parent->transform->setRotation(-60.0f);
    EXPECT_NEAR(child->transform->getRotation(), -60.0f, 1e-3f);
    parent->transform->setRotation(0.0f);
    parent->transform->setScale(-1.0f, 1.0f);
    sf::Vector2f scale = child->transform->getWorldScale();
    EXPECT_NEAR(scale.x, 1.0f, 1e-5f);
    EXPECT_NEAR(scale.y, -1.0f, 1e-5f) << "the determinant carries the mirror";
}

TEST(TransformComponent, ZeroScaleGivesFiniteValues) {
    auto parent = make("parent");
    auto child = make("child");
    child->parent = parent;
    parent->transform->setScale(0.0f, 0.0f);
    EXPECT_EQ(child->transform->getWorldScale(), sf::Vector2f(0.0f, 0.0f));
    EXPECT_EQ(child->transform->getRotation(), 0.0f);
    parent->transform->setScale(0.0f, 3.0f);
    parent->transform->setRotation(0.0f);
    EXPECT_TRUE(std::isfinite(child->transform->getRotation()));
    EXPECT_NEAR(child->transform->getWorldScale().y, 3.0f, 1e-5f);
}

TEST(TransformComponent, RoundingPastOneNeverYieldsNaN) {
    // Many tiny rotations leave the matrix's cosine a hair beyond 1.
    auto parent = make("parent");
    auto child = make("child");
    child->parent = parent;
    for (float angle : {0.0f, 1e-4f, 359.9999f, 180.0f, 179.9999f, 360.0f}) {
        parent->transform->setRotation(angle);
        parent->transform->setScale(1.0000001f, 0.9999999f);
        float rotation = child->transform->getRotation();
        EXPECT_FALSE(std::isnan(rotation)) << "at " << angle;
    }
}

TEST(TransformComponent, ExpiredParentCountsAsNoParent) {
    auto child = make("child");
    {
        auto parent = make("gone");
        child->parent = parent;
        parent->transform->setPosition(100.0f, 100.0f);
        GameObjectManager::instance().pendingAdditions.clear();
    }
    child->transform->setPosition(1.0f, 2.0f);
    EXPECT_EQ(child->transform->getPosition(), sf::Vector2f(1.0f, 2.0f));
}
