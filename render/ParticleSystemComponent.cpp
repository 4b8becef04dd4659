#include "render/ParticleSystemComponent.hpp"

#include <cmath>
#include <cstdlib>

#include "core/RandomSource.hpp"
#include "scene/GameObject.hpp"

namespace {
// One draw from the sequence for what only shows: 0.00, 0.01, ..., 0.99.
float randomFraction() {
    return RandomSource::forShow().nextHundredth();
}

// Equal bounds draw no random number, which keeps the sequence of the other picks.
float pick(float min, float max) {
    if (min == max) {
        return min;
    }
    const float r = randomFraction();
    return (1.0f - r) * min + r * max;
}
} // namespace

ParticleSystemComponent::ParticleSystemComponent(int32_t depth, const std::shared_ptr<Layer>& layer)
    : RenderableComponent(depth, layer) {}

void ParticleSystemComponent::fixedUpdate(float step, float) {
    // Most emitters of a scene sit idle (a beard has three per segment):
    // nothing to emit and nothing alive is a step that changes nothing.
    if (!emitting && particles.empty() && !(emissionTimer > emissionPeriod)) {
        return;
    }
    if (emitting) {
        emissionTimer += step;
    }
    while (emissionTimer > emissionPeriod) {
        const float timerBefore = emissionTimer;
        for (int32_t i = 0; i < burstSize; ++i) {
            emit();
        }
        if (emissionPeriod == 0.0f) {
            emissionTimer = 0.0f;
        } else {
            emissionTimer = emissionTimer - emissionPeriod + pick(jitterMin, jitterMax);
        }
        if (emissionLimit > 0) {
            --emissionsLeft;
            if (emissionsLeft < 1) {
                emitting = false;
            }
        }
        // A jitter as long as the period, or a negative period, would keep
        // the timer above the period for ever; one burst per step is the most then.
        if (emissionTimer >= timerBefore) {
            break;
        }
    }

    for (size_t i = 0; i < particles.size();) {
        Particle& particle = *particles[i];
        particle.lifetime -= step;
        if (particle.lifetime < 0.0f) {
            particles.erase(particles.begin() + static_cast<std::ptrdiff_t>(i));
            --particleCount;
            continue;
        }
        particle.velocity += acceleration * step;
        particle.position += particle.velocity * step;
        particle.rotation += particle.angularVelocity * step;
        particle.scale += particle.scaleVelocity * step;
        ++i;
    }
}

void ParticleSystemComponent::emit() {
    if (particleCount >= maxParticles) {
        return;
    }
    auto particle = std::make_shared<Particle>();
    sf::Vector2f base(0.0f, 0.0f);
    if (!localSpace) {
        if (auto owner = getGameObject()) {
            base = owner->transform->getPosition();
        }
    }
    particle->position = base + spawnOffset;
    particle->rotation = randomRotation ? randomFraction() * 360.0f : 0.0f;
    const float scale = pick(scaleMin, scaleMax);
    particle->scale = {scale, scale};
    const float growth = pick(growthMin, growthMax);
    particle->scaleVelocity = {growth, growth};
    const float angle = pick(angleMin, angleMax);
    const float speed = pick(speedMin, speedMax);
    particle->velocity = {speed * std::cos(angle), speed * std::sin(angle)};
    particle->angularVelocity = pick(spinMin, spinMax);
    particle->lifetime = pick(lifetimeMin, lifetimeMax);
    ++particleCount;
    particles.push_back(std::move(particle));
}

void ParticleSystemComponent::draw(float, float, sf::RenderTarget& target) {
    const sf::Texture* texture = sprite.getTexture();
    // A sprite without a texture draws nothing, and neither does an idle emitter.
    if (!texture || particles.empty()) {
        return;
    }
    sf::Vector2f origin(0.0f, 0.0f);
    if (localSpace) {
        if (auto owner = getGameObject()) {
            origin = owner->transform->getPosition();
        }
    }
    // Every particle is the sprite's quad, placed as drawing the sprite with
    // the particle's transform would place it (the same arithmetic), and all
    // of them go to the target in one draw, in the same order.
    const sf::IntRect rect = sprite.getTextureRect();
    const float width = static_cast<float>(std::abs(rect.width));
    const float height = static_cast<float>(std::abs(rect.height));
    const float left = static_cast<float>(rect.left);
    const float right = left + static_cast<float>(rect.width);
    const float top = static_cast<float>(rect.top);
    const float bottom = top + static_cast<float>(rect.height);
    const sf::Color color = sprite.getColor();
    batch.resize(particles.size() * 6);
    size_t vertex = 0;
    for (const auto& particle : particles) {
        sf::Transform transform;
        transform.translate(origin + particle->position).rotate(particle->rotation).scale(particle->scale);
        transform *= sprite.getTransform();
        const sf::Vertex topLeft(transform.transformPoint(0.0f, 0.0f), color, {left, top});
        const sf::Vertex bottomLeft(transform.transformPoint(0.0f, height), color, {left, bottom});
        const sf::Vertex topRight(transform.transformPoint(width, 0.0f), color, {right, top});
        const sf::Vertex bottomRight(transform.transformPoint(width, height), color, {right, bottom});
        // The sprite's own strip, as two triangles sharing its diagonal.
        batch[vertex++] = topLeft;
        batch[vertex++] = bottomLeft;
        batch[vertex++] = topRight;
        batch[vertex++] = topRight;
        batch[vertex++] = bottomLeft;
        batch[vertex++] = bottomRight;
    }
    target.draw(batch, sf::RenderStates(texture));
}

std::function<void()> ParticleSystemComponent::keepShown() {
    std::vector<Particle> live;
    live.reserve(particles.size());
    for (const auto& particle : particles) {
        live.push_back(*particle);
    }
    return [this, live = std::move(live), timer = emissionTimer, on = emitting, left = emissionsLeft] {
        particles.clear();
        for (const auto& particle : live) {
            particles.push_back(std::make_shared<Particle>(particle));
        }
        particleCount = static_cast<int32_t>(particles.size());
        emissionTimer = timer;
        emitting = on;
        emissionsLeft = left;
    };
}
