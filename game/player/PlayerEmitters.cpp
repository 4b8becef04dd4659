#include "game/player/PlayerEmitters.hpp"

#include <SFML/Graphics/Color.hpp>

#include "render/AssetManager.hpp"
#include "render/ParticleSystemComponent.hpp"
#include "render/RenderManager.hpp"
#include "scene/GameObjectManager.hpp"

namespace {
constexpr float twoPi = 6.2831855f;
constexpr float pi = 3.1415927f;

std::shared_ptr<ParticleSystemComponent> makeEmitter(const std::shared_ptr<GameObject>& object, int depth,
                                                     const char* layerName) {
    auto emitter =
        addComponent<ParticleSystemComponent>(object, depth, RenderManager::instance().findLayer(layerName));
    if (!emitter) {
        return nullptr;
    }
    if (auto sprite = AssetManager::instance().getSprite("particle.png")) {
        emitter->sprite = *sprite;
    }
    const sf::IntRect rect = emitter->sprite.getTextureRect();
    emitter->sprite.setOrigin(rect.width / 2.0f, rect.height / 2.0f);
    emitter->emitting = false;
    emitter->localSpace = false;
    return emitter;
}

void configure(ParticleSystemComponent& e, PlayerEmitter kind) {
    switch (kind) {
    case PlayerEmitter::magic:
        e.burstSize = 400;
        e.emissionLimit = 1;
        e.emissionPeriod = 0.0f;
        e.lifetimeMin = 0.5f, e.lifetimeMax = 0.7f;
        e.speedMin = 300.0f, e.speedMax = 1000.0f;
        e.angleMin = 0.0f, e.angleMax = twoPi;
        e.acceleration = {0.0f, 4000.0f};
        e.scaleMin = 2.0f, e.scaleMax = 3.0f;
        e.growthMin = -0.5f, e.growthMax = -1.0f;
        e.sprite.setColor(sf::Color(128, 255, 255, 255));
        break;
    case PlayerEmitter::dust:
        e.burstSize = 3;
        e.emissionLimit = 0;
        e.emissionPeriod = 0.2f;
        e.lifetimeMin = 0.2f, e.lifetimeMax = 0.3f;
        e.speedMin = 100.0f, e.speedMax = 300.0f;
        e.angleMin = 0.0f, e.angleMax = twoPi;
        e.acceleration = {0.0f, 1000.0f};
        e.scaleMin = 2.0f, e.scaleMax = 2.5f;
        e.sprite.setColor(sf::Color(90, 93, 112, 255));
        e.spawnOffset = {0.0f, 100.0f};
        break;
    case PlayerEmitter::trail:
        e.burstSize = 1;
        e.emissionLimit = 0;
        e.emissionPeriod = 0.5f;
        e.jitterMin = -0.2f, e.jitterMax = 0.2f;
        e.lifetimeMin = 0.4f, e.lifetimeMax = 0.7f;
        e.speedMin = 10.0f, e.speedMax = 30.0f;
        e.angleMin = 0.0f, e.angleMax = pi;
        e.acceleration = {0.0f, -400.0f};
        e.scaleMin = 1.0f, e.scaleMax = 2.5f;
        e.growthMin = -2.0f, e.growthMax = -4.0f;
        e.sprite.setColor(sf::Color::Cyan);
        break;
    case PlayerEmitter::hit:
        e.burstSize = 20;
        e.emissionLimit = 1;
        e.emissionPeriod = 0.0f;
        e.lifetimeMin = 0.4f, e.lifetimeMax = 1.0f;
        e.speedMin = 100.0f, e.speedMax = 300.0f;
        e.acceleration = {0.0f, 1000.0f};
        e.scaleMin = 2.0f, e.scaleMax = 3.0f;
        break;
    case PlayerEmitter::cut:
        e.burstSize = 20;
        e.emissionLimit = 1;
        e.emissionPeriod = 0.0f;
        e.lifetimeMin = 0.3f, e.lifetimeMax = 0.6f;
        e.speedMin = 200.0f, e.speedMax = 400.0f;
        e.acceleration = {0.0f, 1000.0f};
        e.scaleMin = 1.0f, e.scaleMax = 2.0f;
        break;
    }
    e.emissionsLeft = 0;
}
} // namespace

std::shared_ptr<ParticleSystemComponent> addPlayerEmitter(const std::shared_ptr<GameObject>& object,
                                                          PlayerEmitter kind) {
    const bool onPlayer = kind == PlayerEmitter::magic || kind == PlayerEmitter::dust;
    auto emitter = makeEmitter(object, onPlayer ? 1 : 10, onPlayer ? "Platforms" : "Players");
    if (emitter) {
        configure(*emitter, kind);
    }
    return emitter;
}

void startEmitter(const std::shared_ptr<ParticleSystemComponent>& emitter) {
    if (emitter) {
        emitter->emitting = true;
        emitter->emissionsLeft = 0;
    }
}

void stopEmitter(const std::shared_ptr<ParticleSystemComponent>& emitter) {
    if (emitter) {
        emitter->emitting = false;
        emitter->emissionsLeft = 0;
    }
}
