#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <stdexcept>

#include <SFML/Graphics/RenderTexture.hpp>
#include <box2d/b2_circle_shape.h>
#include <box2d/b2_polygon_shape.h>

#include "PhysicsScene.hpp"
#include "physics/PhysicsCreators.hpp"
#include "physics/PolygonColliderComponent.hpp"

using namespace physics_test;

namespace {
struct ColliderScene : SceneTest {
    void SetUp() override {
        PhysicsManager::instance().createWorld(0.0f, 10.0f, 100.0f);
        object = makeObject("Thing", {0, 0});
        addComponent<RigidBodyComponent>(object, b2_dynamicBody, 1.0f);
    }

    // Builds through the registry, as map instantiation does, on a w x h map object.
    template <class T>
    std::shared_ptr<T> build(const std::string& type, PropertyMap settings, int width = 64, int height = 32) {
        settings[""] = type;
        settings.emplace("#width", std::to_string(width));
        settings.emplace("#height", std::to_string(height));
        settings.emplace("#layer", "_default");
        return std::dynamic_pointer_cast<T>(
            GameObjectManager::instance().createComponent(type, object, settings));
    }
    static const b2PolygonShape& polygonOf(const ColliderComponent& collider) {
        return static_cast<const b2PolygonShape&>(*collider.shape);
    }

    std::shared_ptr<GameObject> object;
};
} // namespace

TEST_F(ColliderScene, BoxWithoutKeysFillsTheMapObject) {
    auto box = build<BoxColliderComponent>("box", {});
    ASSERT_TRUE(box);
    ASSERT_TRUE(box->fixture);
    const auto [lower, upper] = box->getBounds();
    // Box2D's bounds include the polygon skin of 1 px on every side.
    EXPECT_NEAR(upper.x - lower.x, 66.0f, 1e-3);
    EXPECT_NEAR(upper.y - lower.y, 34.0f, 1e-3);
    EXPECT_NEAR(lower.x + upper.x, 0.0f, 1e-3);
    EXPECT_EQ(box->friction, 0.0f);
    EXPECT_EQ(box->restitution, 0.0f);
    EXPECT_FALSE(box->fixture->IsSensor());
    EXPECT_EQ(box->fixture->GetRestitutionThreshold(), 1.0f);
}

TEST_F(ColliderScene, BoxAutoWidthAndGivenHeight) {
    auto box = build<BoxColliderComponent>("box", {{"width", "auto"}, {"height", "10"}, {"xoff", "5"}});
    const auto [lower, upper] = box->getBounds();
    EXPECT_NEAR(upper.x - lower.x, 66.0f, 1e-3);
    EXPECT_NEAR(upper.y - lower.y, 12.0f, 1e-3);
    EXPECT_NEAR(0.5f * (lower.x + upper.x), 5.0f, 1e-3);
}

TEST_F(ColliderScene, BoxAngleIsRadiansAndWinsOverRotation) {
    auto box = build<BoxColliderComponent>("box", {{"angle", "1.5707963"}, {"rotation", "0"}});
    const auto [lower, upper] = box->getBounds();
    EXPECT_NEAR(upper.x - lower.x, 34.0f, 1e-2);
    EXPECT_NEAR(upper.y - lower.y, 66.0f, 1e-2);
}

TEST_F(ColliderScene, OnlyTrueAndOneMakeASensor) {
    EXPECT_TRUE(build<BoxColliderComponent>("box", {{"trigger", "1"}})->isSensor);
    EXPECT_TRUE(build<BoxColliderComponent>("box", {{"trigger", "true"}})->isSensor);
    EXPECT_FALSE(build<BoxColliderComponent>("box", {{"trigger", "TRUE"}})->isSensor);
    EXPECT_FALSE(build<BoxColliderComponent>("box", {{"trigger", "yes"}})->isSensor);
    auto positional = build<BoxColliderComponent>("box", {{"5", "true"}, {"6", "0.5"}, {"7", "0.25"}});
    EXPECT_TRUE(positional->fixture->IsSensor());
    EXPECT_EQ(positional->fixture->GetFriction(), 0.5f);
    EXPECT_EQ(positional->fixture->GetRestitution(), 0.25f);
}

TEST_F(ColliderScene, CircleWithoutKeysTakesHalfTheSmallerSide) {
    auto circle = build<CircleColliderComponent>("circle", {}, 40, 60);
    ASSERT_TRUE(circle);
    const auto& shape = static_cast<const b2CircleShape&>(*circle->shape);
    EXPECT_NEAR(shape.m_radius, 0.2f, 1e-6);
    EXPECT_NEAR(shape.m_p.x, -0.005f, 1e-6);
    EXPECT_NEAR(shape.m_p.y, -0.005f, 1e-6);
    auto given = build<CircleColliderComponent>("circle", {{"radius", "15"}, {"3", "1"}});
    EXPECT_EQ(given->radius, 15.0f);
    EXPECT_TRUE(given->isSensor);
}

TEST_F(ColliderScene, PolygonStopsAtTheFirstMissingPoint) {
    auto polygon = build<PolygonColliderComponent>("polygon", {{"0x", "0"},
                                                               {"0y", "0"},
                                                               {"1x", "100"},
                                                               {"1y", "0"},
                                                               {"2x", "0"},
                                                               {"2y", "100"},
                                                               {"4x", "50"},
                                                               {"4y", "-300"},
                                                               {"0", "true"},
                                                               {"friction", "0.3"}});
    ASSERT_TRUE(polygon);
    EXPECT_EQ(polygon->pointCount, 3);
    EXPECT_EQ(polygonOf(*polygon).m_count, 3);
    EXPECT_TRUE(polygon->isSensor);
    EXPECT_FLOAT_EQ(polygon->friction, 0.3f);
}

TEST_F(ColliderScene, DegeneratePolygonsFallBackToBox2DsBoxWithoutTripping) {
    const std::vector<std::vector<sf::Vector2f>> degenerate = {
        {}, {{0, 0}}, {{0, 0}, {10, 0}}, {{0, 0}, {10, 0}, {20, 0}}, {{0, 0}, {0.1f, 0}, {0, 0.1f}}};
    for (const auto& points : degenerate) {
        auto polygon = addComponent<PolygonColliderComponent>(object, points);
        ASSERT_TRUE(polygon);
        EXPECT_EQ(polygonOf(*polygon).m_count, 4);
        EXPECT_NEAR(polygonOf(*polygon).m_vertices[2].x, 1.0f, 1e-6);
    }
    // More than 8 points: the first 8 make the hull.
    std::vector<sf::Vector2f> many;
    for (int i = 0; i < 12; ++i) {
        many.emplace_back(100.0f * std::cos(i * 0.5f), 100.0f * std::sin(i * 0.5f));
    }
    auto polygon = addComponent<PolygonColliderComponent>(object, many);
    EXPECT_LE(polygonOf(*polygon).m_count, 8);
    EXPECT_EQ(polygon->pointCount, 12);
    step(2);
}

TEST_F(ColliderScene, NumbersThatDoNotParseAndMissingSizesThrow) {
    PropertyMap noSize = {{"", "box"}};
    EXPECT_THROW(createBoxColliderComponent(object, noSize), std::out_of_range);
    EXPECT_THROW(build<BoxColliderComponent>("box", {{"xoff", "left"}}), std::invalid_argument);
    EXPECT_THROW(build<CircleColliderComponent>("circle", {{"radius", "big"}}), std::invalid_argument);
    EXPECT_THROW(build<PolygonColliderComponent>("polygon", {{"0x", "a"}, {"0y", "0"}}),
                 std::invalid_argument);
    // A circle with a given radius needs no size.
    EXPECT_TRUE(createCircleColliderComponent(object, {{"", "circle"}, {"radius", "4"}}));
    EXPECT_EQ(object->getComponents<BoxColliderComponent>().size(), 0u);
}

TEST_F(ColliderScene, PointObjectsAndNegativeSizesStillMakeSolidShapes) {
    // A map point object has no size: its auto box is as thin as Box2D allows.
    auto point = build<BoxColliderComponent>("box", {}, 0, 0);
    auto flipped = build<BoxColliderComponent>("box", {{"width", "-20"}, {"height", "10"}});
    auto circle = build<CircleColliderComponent>("circle", {{"radius", "-8"}});
    ASSERT_TRUE(point && flipped && circle);
    const auto [lower, upper] = flipped->getBounds();
    EXPECT_NEAR(upper.x - lower.x, 22.0f, 1e-3);
    EXPECT_NEAR(static_cast<const b2CircleShape&>(*circle->shape).m_radius, 0.08f, 1e-6);
    EXPECT_EQ(circle->radius, 8.0f);
    // A point object's auto circle, like its box, keeps some area for its mass.
    auto dot = build<CircleColliderComponent>("circle", {}, 0, 0);
    EXPECT_EQ(dot->radius, 0.0f);
    EXPECT_GT(dot->shape->m_radius, 0.0f);
    step(30);
    const b2Vec2 position = object->rigidBody->body->GetPosition();
    EXPECT_TRUE(position.IsValid());
    EXPECT_GT(position.y, 0.1f);
}

TEST_F(ColliderScene, InfiniteOrUndefinedNumbersAreRefused) {
    EXPECT_THROW(build<BoxColliderComponent>("box", {{"width", "inf"}}), std::invalid_argument);
    EXPECT_THROW(build<CircleColliderComponent>("circle", {{"xoff", "nan"}}), std::invalid_argument);
    EXPECT_THROW(build<RigidBodyComponent>("rigidbody", {{"mass", "-inf"}}), std::invalid_argument);
    EXPECT_EQ(object->components.size(), 2u);
}

TEST_F(ColliderScene, WithoutRigidBodyTheColliderIsInert) {
    auto loose = makeObject("Loose", {0, 0});
    auto box = addComponent<BoxColliderComponent>(loose, sf::Vector2f(0, 0), sf::Vector2f(10, 10));
    EXPECT_FALSE(box->fixture);
    const auto [lower, upper] = box->getBounds();
    EXPECT_NEAR(lower.x, -6.0f, 1e-4);
    EXPECT_NEAR(upper.y, 6.0f, 1e-4);
}

TEST_F(ColliderScene, BoundsFollowTheBody) {
    auto box = addComponent<BoxColliderComponent>(object, sf::Vector2f(0, 0), sf::Vector2f(10, 10));
    object->rigidBody->body->SetTransform(b2Vec2(1.0f, 2.0f), 0.0f);
    const auto [lower, upper] = box->getBounds();
    EXPECT_NEAR(lower.x, 94.0f, 1e-3);
    EXPECT_NEAR(upper.y, 206.0f, 1e-3);
}

TEST_F(ColliderScene, OutlinesAreDrawnInWorldPixels) {
    sf::RenderTexture target;
    ASSERT_TRUE(target.create(200, 200));
    object->transform->setPosition(100, 100);
    object->transform->markMoved();
    auto box = addComponent<BoxColliderComponent>(object, sf::Vector2f(0, 0), sf::Vector2f(80, 40));
    auto circle = addComponent<CircleColliderComponent>(object, 30.0f);
    // A negative radius is its size: drawn on the very same ring.
    auto negative = addComponent<CircleColliderComponent>(object, -30.0f);
    auto polygon = addComponent<PolygonColliderComponent>(
        object, std::vector<sf::Vector2f>{{-60, -60}, {60, -60}, {60, -50}});
    target.clear(sf::Color::Black);
    box->drawOutline(target, sf::Color::Red);
    circle->drawOutline(target, sf::Color::Green);
    negative->drawOutline(target, sf::Color::Green);
    polygon->drawOutline(target, sf::Color::Blue);
    target.display();
    const sf::Image image = target.getTexture().copyToImage();
    // Kept for a look, in a folder of the build, never the working directory.
    const auto folder = std::filesystem::path(VORLUNE_BINARY_DIR) / "test-output" / "physics";
    std::filesystem::create_directories(folder);
    EXPECT_TRUE(image.saveToFile((folder / "collider-outlines.png").string()));
    // Lines on pixel boundaries may land on either side.
    auto near = [&image](unsigned x, unsigned y, sf::Uint8 sf::Color::*channel) {
        for (unsigned dx = 0; dx < 3; ++dx) {
            for (unsigned dy = 0; dy < 3; ++dy) {
                if (image.getPixel(x + dx - 1, y + dy - 1).*channel > 100) {
                    return true;
                }
            }
        }
        return false;
    };
    // Box edges at x = 60 .. 140, y = 80 .. 120; circle through (100, 70); polygon top edge y = 40.
    EXPECT_TRUE(near(100, 80, &sf::Color::r));
    EXPECT_TRUE(near(60, 100, &sf::Color::r));
    EXPECT_TRUE(near(140, 110, &sf::Color::r));
    // The thin circle outline is dotted: count its pixels, all within the ring of radius 30.
    int ring = 0;
    int elsewhere = 0;
    for (unsigned x = 0; x < 200; ++x) {
        for (unsigned y = 0; y < 200; ++y) {
            if (image.getPixel(x, y).g > 0) {
                const float distance = std::hypot(x + 0.5f - 100.0f, y + 0.5f - 100.0f);
                (distance > 28.0f && distance < 32.0f ? ring : elsewhere) += 1;
            }
        }
    }
    EXPECT_GT(ring, 40);
    EXPECT_EQ(elsewhere, 0);
    EXPECT_TRUE(near(100, 40, &sf::Color::b));
    EXPECT_EQ(image.getPixel(100, 100), sf::Color::Black);
}

TEST_F(ColliderScene, FrictionChangeReachesContactsThatAlreadyExist) {
    auto floor = makeObject("Floor", {0, 100});
    addComponent<RigidBodyComponent>(floor, b2_staticBody, 1.0f);
    addComponent<BoxColliderComponent>(floor, sf::Vector2f(0, 0), sf::Vector2f(4000, 20), 0.0f, false, 1.0f);
    auto box = makeBox("Box", {0, 80}, {20, 20}, b2_dynamicBody);
    auto collider = box->getComponent<ColliderComponent>();
    // Upright, so friction can only slow it down, never tip it over.
    box->rigidBody->body->SetFixedRotation(true);
    step(10);
    // Frictionless: the box slides on at its speed.
    box->rigidBody->setVelocity(2.0f, 0.0f);
    step(20);
    ASSERT_EQ(box->collisions.size(), 1u);
    EXPECT_NEAR(box->rigidBody->getVelocity().x, 2.0f, 1e-3);

    collider->setFriction(1.0f);
    step(30);
    EXPECT_NEAR(box->rigidBody->getVelocity().x, 0.0f, 1e-3);
    EXPECT_EQ(collider->friction, 1.0f);

    // A fixture made again on a new body keeps the changed friction.
    box->removeComponent(box->rigidBody);
    addComponent<RigidBodyComponent>(box, b2_dynamicBody, 1.0f);
    ASSERT_TRUE(collider->fixture);
    EXPECT_EQ(collider->fixture->GetFriction(), 1.0f);
    collider->setFriction(-2.0f);
    EXPECT_EQ(collider->fixture->GetFriction(), 0.0f);
    collider->setFriction(std::nanf(""));
    EXPECT_EQ(collider->friction, 0.0f);
}
