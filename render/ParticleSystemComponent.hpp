#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/VertexArray.hpp>

#include "render/RenderableComponent.hpp"

// Emits sprite particles from its game object, moves and ages them every
// fixed step and draws each live particle as one copy of `sprite` (all of
// them in one draw call). Every
// parameter is a public field; game code sets the sprite's texture and what
// it needs after adding the component.
//
// Units: pixels, pixels per second, degrees for rotations, radians for the
// emission direction, seconds for times. Each varying parameter costs one
// draw from the RandomSource's sequence for what only shows (`forShow`), in
// a fixed order, so runs are reproducible; the match's own sequence is
// never touched.
class ParticleSystemComponent : public RenderableComponent {
public:
    struct Particle {
        // Relative to the owner when `localSpace`, in the world otherwise.
        sf::Vector2f position{0.0f, 0.0f};
        float rotation = 0.0f;
        sf::Vector2f scale{1.0f, 1.0f};
        sf::Vector2f velocity{0.0f, 0.0f};
        float angularVelocity = 0.0f;
        sf::Vector2f scaleVelocity{0.0f, 0.0f};
        // Seconds left to live.
        float lifetime = 1.0f;
    };

    explicit ParticleSystemComponent(int32_t depth = 0, const std::shared_ptr<Layer>& layer = nullptr);

    // Emission (several bursts after a long step), then simulation by `step` seconds.
    void fixedUpdate(float step, float time) override;
    void draw(float delta, float time, sf::RenderTarget& target) override;
    // Spawns one particle now, unless `maxParticles` live already.
    void emit();
    // The live particles and the emission's clock.
    std::function<void()> keepShown() override;

    sf::Sprite sprite;
    // Live particles, oldest first.
    std::vector<std::shared_ptr<Particle>> particles;
    float lifetimeMin = 1.0f, lifetimeMax = 1.0f;
    float spinMin = 0.0f, spinMax = 0.0f;
    float scaleMin = 1.0f, scaleMax = 1.0f;
    float growthMin = 0.0f, growthMax = 0.0f;
    float speedMin = 1.0f, speedMax = 1.0f;
    float angleMin = 0.0f, angleMax = 6.2831855f;
    // Added to the timer after each emission (when the period is not 0).
    float jitterMin = 0.0f, jitterMax = 0.0f;
    // The timer must exceed this for an emission; 0 emits every step the timer is positive.
    float emissionPeriod = 1.0f;
    float emissionTimer = 0.0f;
    int32_t maxParticles = 100;
    int32_t particleCount = 0;
    bool randomRotation = false;
    // The emission timer runs only while set.
    bool emitting = true;
    bool localSpace = true;
    int32_t burstSize = 1;
    // When positive, emissions are counted down in `emissionsLeft`, and
    // `emitting` switches off when none is left.
    int32_t emissionLimit = 0;
    int32_t emissionsLeft = 0;
    // Pixels per second squared, for every particle.
    sf::Vector2f acceleration{0.0f, 0.0f};
    sf::Vector2f spawnOffset{0.0f, 0.0f};

private:
    // The live particles' quads, rebuilt at every draw; kept to reuse its storage.
    sf::VertexArray batch{sf::Triangles};
};
