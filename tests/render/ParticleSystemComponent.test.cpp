#include <cmath>

#include <gtest/gtest.h>

#include <SFML/Graphics/RenderTexture.hpp>

#include "core/RandomSource.hpp"
#include "render/ParticleSystemComponent.hpp"
#include "render/RenderManager.hpp"
#include "scene/GameObjectManager.hpp"

namespace {
constexpr float step = 1.0f / 60.0f;

std::shared_ptr<ParticleSystemComponent> makeSystem(std::shared_ptr<GameObject>& owner) {
    owner = GameObjectManager::instance().createGameObject("emitter");
    return addComponent<ParticleSystemComponent>(owner);
}

// The pick the system makes from one draw of the random source.
float expectedPick(float min, float max) {
    const float r = RandomSource::instance().nextHundredth();
    return (1.0f - r) * min + r * max;
}
} // namespace

TEST(ParticleSystemComponent, DefaultsEmitOnceAfter61Steps) {
    std::shared_ptr<GameObject> owner;
    auto system = makeSystem(owner);
    for (int i = 0; i < 60; ++i) {
        system->fixedUpdate(step, 0);
    }
    EXPECT_TRUE(system->particles.empty());
    system->fixedUpdate(step, 0);
    ASSERT_EQ(system->particles.size(), 1u);
    EXPECT_EQ(system->particleCount, 1);
    EXPECT_NEAR(system->emissionTimer, 61 * step - 1.0f, 1e-5f);
    // Emitted, then aged by the same step.
    EXPECT_FLOAT_EQ(system->particles[0]->lifetime, 1.0f - step);
    const auto velocity = system->particles[0]->velocity;
    EXPECT_NEAR(std::hypot(velocity.x, velocity.y), 1.0f, 1e-5f);
}

TEST(ParticleSystemComponent, LongStepEmitsSeveralBursts) {
    std::shared_ptr<GameObject> owner;
    auto system = makeSystem(owner);
    system->emissionPeriod = 0.1f;
    system->burstSize = 2;
    system->lifetimeMin = system->lifetimeMax = 10.0f;
    system->fixedUpdate(0.35f, 0);
    EXPECT_EQ(system->particles.size(), 6u);
    EXPECT_NEAR(system->emissionTimer, 0.05f, 1e-5f);
}

TEST(ParticleSystemComponent, MaxParticlesSkipsEmissionButTimerRuns) {
    std::shared_ptr<GameObject> owner;
    auto system = makeSystem(owner);
    system->emissionPeriod = 0.0f;
    system->maxParticles = 3;
    system->burstSize = 2;
    system->fixedUpdate(step, 0);
    system->fixedUpdate(step, 0);
    system->fixedUpdate(step, 0);
    EXPECT_EQ(system->particleCount, 3);
    EXPECT_EQ(system->particles.size(), 3u);

    // Emission comes before ageing: particles dying in a step make room only
    // for the next step's burst.
    system->particles[0]->lifetime = 0.0f;
    system->particles[1]->lifetime = 0.0f;
    system->fixedUpdate(step, 0);
    EXPECT_EQ(system->particleCount, 1);
    system->fixedUpdate(step, 0);
    EXPECT_EQ(system->particleCount, 3);
}

TEST(ParticleSystemComponent, TimerRunsOnWhileFull) {
    std::shared_ptr<GameObject> owner;
    auto system = makeSystem(owner);
    system->emissionPeriod = 0.5f;
    system->maxParticles = 1;
    system->lifetimeMin = system->lifetimeMax = 100.0f;
    system->fixedUpdate(0.6f, 0);
    system->fixedUpdate(0.6f, 0);
    EXPECT_EQ(system->particleCount, 1);
    EXPECT_NEAR(system->emissionTimer, 0.2f, 1e-5f);
}

TEST(ParticleSystemComponent, EmissionLimitCountsBurstsThenStops) {
    std::shared_ptr<GameObject> owner;
    auto system = makeSystem(owner);
    system->emissionPeriod = 0.0f;
    system->burstSize = 5;
    system->emissionLimit = system->emissionsLeft = 3;
    system->lifetimeMin = system->lifetimeMax = 100.0f;
    for (int i = 0; i < 10; ++i) {
        system->fixedUpdate(step, 0);
    }
    EXPECT_EQ(system->particles.size(), 15u);
    EXPECT_FALSE(system->emitting);
}

TEST(ParticleSystemComponent, StartWithNoEmissionsLeftGivesOneBurst) {
    std::shared_ptr<GameObject> owner;
    auto system = makeSystem(owner);
    system->emitting = false;
    system->emissionPeriod = 0.0f;
    system->burstSize = 4;
    system->emissionLimit = 1;
    system->fixedUpdate(step, 0);
    EXPECT_TRUE(system->particles.empty());
    system->emitting = true;
    system->emissionsLeft = 0;
    system->fixedUpdate(step, 0);
    system->fixedUpdate(step, 0);
    EXPECT_EQ(system->particles.size(), 4u);
    EXPECT_FALSE(system->emitting);
}

TEST(ParticleSystemComponent, JitterNoShorterThanThePeriodDoesNotHang) {
    std::shared_ptr<GameObject> owner;
    auto system = makeSystem(owner);
    system->emissionPeriod = 0.1f;
    system->jitterMin = system->jitterMax = 0.2f;
    system->fixedUpdate(0.5f, 0);
    EXPECT_EQ(system->particles.size(), 1u);
}

TEST(ParticleSystemComponent, RandomPicksFollowTheDocumentedOrder) {
    std::shared_ptr<GameObject> owner;
    auto system = makeSystem(owner);
    system->randomRotation = true;
    system->scaleMin = 1.0f;
    system->scaleMax = 2.0f;
    system->speedMin = system->speedMax = 40.0f; // equal bounds: no draw
    system->spinMin = -90.0f;
    system->spinMax = 90.0f;
    system->lifetimeMin = 0.5f;
    system->lifetimeMax = 1.5f;

    RandomSource::instance().seed(7);
    system->emit();
    RandomSource::instance().seed(7);
    const float rotation = RandomSource::instance().nextHundredth() * 360.0f;
    const float scale = expectedPick(1.0f, 2.0f);
    const float angle = expectedPick(0.0f, 6.2831855f);
    const float spin = expectedPick(-90.0f, 90.0f);
    const float lifetime = expectedPick(0.5f, 1.5f);

    const auto& particle = *system->particles.at(0);
    EXPECT_FLOAT_EQ(particle.rotation, rotation);
    EXPECT_FLOAT_EQ(particle.scale.x, scale);
    EXPECT_FLOAT_EQ(particle.scale.y, scale);
    EXPECT_EQ(particle.scaleVelocity, sf::Vector2f(0, 0));
    EXPECT_FLOAT_EQ(particle.velocity.x, 40.0f * std::cos(angle));
    EXPECT_FLOAT_EQ(particle.velocity.y, 40.0f * std::sin(angle));
    EXPECT_FLOAT_EQ(particle.angularVelocity, spin);
    EXPECT_FLOAT_EQ(particle.lifetime, lifetime);
}

TEST(ParticleSystemComponent, ParticlesMoveAgeAndDieInOrder) {
    std::shared_ptr<GameObject> owner;
    auto system = makeSystem(owner);
    system->emitting = false;
    system->angleMax = 0.0f; // straight to the right
    system->speedMin = system->speedMax = 10.0f;
    system->acceleration = {0.0f, 60.0f};
    system->spinMin = system->spinMax = 30.0f;
    system->growthMin = system->growthMax = 1.0f;
    system->lifetimeMin = system->lifetimeMax = 0.5f;
    system->emit();
    system->lifetimeMin = system->lifetimeMax = 2.0f;
    system->emit();

    system->fixedUpdate(0.5f, 0);
    ASSERT_EQ(system->particles.size(), 2u);
    // Exactly 0 life left survives one more step.
    EXPECT_FLOAT_EQ(system->particles[0]->lifetime, 0.0f);
    const auto& moved = *system->particles[1];
    EXPECT_EQ(moved.velocity, sf::Vector2f(10.0f, 30.0f));
    EXPECT_EQ(moved.position, sf::Vector2f(5.0f, 15.0f));
    EXPECT_FLOAT_EQ(moved.rotation, 15.0f);
    EXPECT_EQ(moved.scale, sf::Vector2f(1.5f, 1.5f));

    system->fixedUpdate(0.1f, 0);
    ASSERT_EQ(system->particles.size(), 1u);
    EXPECT_EQ(system->particleCount, 1);
    EXPECT_FLOAT_EQ(system->particles[0]->lifetime, 1.4f);
}

TEST(ParticleSystemComponent, LocalSpaceFollowsTheOwnerWorldSpaceStays) {
    sf::RenderTexture target;
    ASSERT_TRUE(target.create(64, 64));
    sf::Texture white;
    ASSERT_TRUE(white.create(4, 4));
    sf::Image pixels;
    pixels.create(4, 4, sf::Color::White);
    white.update(pixels);

    std::shared_ptr<GameObject> owner;
    auto local = makeSystem(owner);
    owner->transform->setPosition(10, 10);
    auto world = addComponent<ParticleSystemComponent>(owner);
    for (auto* system : {local.get(), world.get()}) {
        system->sprite.setTexture(white, true);
        system->sprite.setOrigin(2, 2);
        system->speedMin = system->speedMax = 0.0f;
    }
    world->localSpace = false;
    world->spawnOffset = {0.0f, 40.0f};
    local->emit();
    world->emit();
    EXPECT_EQ(local->particles[0]->position, sf::Vector2f(0, 0));
    EXPECT_EQ(world->particles[0]->position, sf::Vector2f(10, 50));

    owner->transform->setPosition(40, 10);
    target.clear(sf::Color::Black);
    RenderManager::instance().drawAll(target, 0, 0);
    target.display();
    const sf::Image image = target.getTexture().copyToImage();
    EXPECT_EQ(image.getPixel(40, 10), sf::Color::White); // moved with the owner
    EXPECT_EQ(image.getPixel(10, 10), sf::Color::Black);
    EXPECT_EQ(image.getPixel(10, 50), sf::Color::White); // stayed where emitted
}

TEST(ParticleSystemComponent, DrawShowsEveryParticleAsTheSpriteWouldInOrder) {
    // A 4 x 4 texture with a different colour in each quarter, so a
    // misplaced, turned or mirrored quad shows.
    sf::Image pixels;
    pixels.create(4, 4, sf::Color::White);
    for (unsigned y = 0; y < 4; ++y) {
        for (unsigned x = 0; x < 4; ++x) {
            pixels.setPixel(x, y, sf::Color(x < 2 ? 250 : 10, y < 2 ? 200 : 30, 90, x == 3 ? 128 : 255));
        }
    }
    sf::Texture texture;
    ASSERT_TRUE(texture.loadFromImage(pixels));

    std::shared_ptr<GameObject> owner;
    auto system = makeSystem(owner);
    owner->transform->setPosition(40, 30);
    system->sprite.setTexture(texture, true);
    system->sprite.setOrigin(2, 2);
    system->sprite.setColor(sf::Color(255, 255, 255, 200));
    const std::vector<ParticleSystemComponent::Particle> placed = {{{-20, -10}, 0.0f, {3, 3}},
                                                                   {{0, 0}, 90.0f, {4, 2}},
                                                                   {{15, 5}, 200.0f, {5, 5}},
                                                                   {{-1, 1}, 45.0f, {2, 6}}};
    for (const auto& particle : placed) {
        system->particles.push_back(std::make_shared<ParticleSystemComponent::Particle>(particle));
    }

    sf::RenderTexture drawn, expected;
    ASSERT_TRUE(drawn.create(80, 60));
    ASSERT_TRUE(expected.create(80, 60));
    drawn.clear(sf::Color::Black);
    system->draw(0, 0, drawn);
    drawn.display();
    expected.clear(sf::Color::Black);
    for (const auto& particle : placed) {
        sf::Transform transform;
        transform.translate(sf::Vector2f(40, 30) + particle.position)
            .rotate(particle.rotation)
            .scale(particle.scale);
        expected.draw(system->sprite, sf::RenderStates(transform));
    }
    expected.display();
    const sf::Image a = drawn.getTexture().copyToImage();
    const sf::Image b = expected.getTexture().copyToImage();
    for (unsigned y = 0; y < 60; ++y) {
        for (unsigned x = 0; x < 80; ++x) {
            ASSERT_EQ(a.getPixel(x, y), b.getPixel(x, y)) << x << "," << y;
        }
    }
    EXPECT_NE(a.getPixel(40, 30), sf::Color::Black);
}
