#include "game/player/PlayerControllerComponent.hpp"

#include "core/StateIo.hpp"

#include <algorithm>
#include <cmath>
#include <string>

#include <SFML/Graphics/Sprite.hpp>

#include "audio/AudioSourceComponent.hpp"
#include "audio/SoundManager.hpp"
#include "core/Report.hpp"
#include "game/GameOverEvent.hpp"
#include "game/PlayerNames.hpp"
#include "game/hud/HealthBarComponent.hpp"
#include "game/player/BeardSegmentComponent.hpp"
#include "game/player/PadRumble.hpp"
#include "game/player/PlayerColors.hpp"
#include "game/player/PlayerEmitters.hpp"
#include "game/player/PlayerSounds.hpp"
#include "physics/ColliderComponent.hpp"
#include "physics/PhysicsManager.hpp"
#include "physics/RevoluteJointComponent.hpp"
#include "physics/RigidBodyComponent.hpp"
#include "physics/WeldJointComponent.hpp"
#include "render/AssetManager.hpp"
#include "render/PolygonRendererComponent.hpp"
#include "render/RenderManager.hpp"
#include "scene/GameObjectManager.hpp"

namespace {
constexpr int playerBodyType = 2;
constexpr float defaultPlayerMass = 30.0f;
// Length of the two ground probes (metres).
constexpr float groundProbeLength = 0.4f;
// How hard the pad pulses when its player is hit, and when it loses a life.
constexpr float hitRumble = 0.6f;
constexpr float lifeLostRumble = 1.0f;
// Volume of the death and respawn sounds, before the effects volume.
constexpr float lifeSoundVolume = 40.0f;

std::shared_ptr<PlayerControllerComponent> selfOf(const GameObject& object,
                                                  const PlayerControllerComponent* me) {
    for (const auto& component : object.components) {
        if (component.get() == me) {
            return std::static_pointer_cast<PlayerControllerComponent>(component);
        }
    }
    return nullptr;
}

std::shared_ptr<sf::Sound> createNamedSound(const char* name) {
    return SoundManager::instance().createSound(name);
}

void fillSounds(std::vector<std::shared_ptr<sf::Sound>>& list, std::initializer_list<const char*> names) {
    for (const char* name : names) {
        // Kept even when empty, so the list's indices stay those of the names.
        list.push_back(createNamedSound(name));
    }
}
} // namespace

PlayerControllerComponent::PlayerControllerComponent(int playerNumber, bool unlimitedLives, int lives)
    : number(playerNumber) {
    current.lives = lives;
    current.unlimitedLives = unlimitedLives;
    current.magicCharges = tuning.maxMagicCharges;
}

PlayerControllerComponent::~PlayerControllerComponent() = default;

void PlayerControllerComponent::init() {
    Component::init();
    auto object = getGameObject();
    buildHat();

    collider = object->getComponent<ColliderComponent>();
    if (collider) {
        const auto bounds = collider->getBounds();
        current.halfWidth = (bounds.second.x - bounds.first.x) / 2.0f;
        current.halfHeight = (bounds.second.y - bounds.first.y) / 2.0f;
    }

    createAudioSources();
    magicParticles = addPlayerEmitter(object, PlayerEmitter::magic);
    dustParticles = addPlayerEmitter(object, PlayerEmitter::dust);

    playerBeard.attachRenderer(object);

    body = object->rigidBody;
    if (!body) {
        body = addComponent<RigidBodyComponent>(object, playerBodyType, defaultPlayerMass);
    }
    if (body) {
        body->setConstraints(RigidBodyComponent::lockRotation);
        body->maxSpeedX = tuning.maxSpeedX;
        body->maxSpeedY = tuning.maxSpeedY;
        auto layer = PhysicsManager::instance().getCollisionLayer("player" + std::to_string(number));
        if (layer) {
            body->setCollisionLayer(layer);
            current.category = layer->filter.categoryBits;
            current.mask = layer->filter.maskBits;
            current.group = layer->filter.groupIndex;
        }
    }

    attachToHealthBar();
    buildAnimations();
    growBeard();
}

void PlayerControllerComponent::buildHat() {
    auto& assets = AssetManager::instance();
    auto full = assets.getSprite("../assets/PNG/Player/hat_full.png");
    auto strip = assets.getSprite("../assets/PNG/Player/hat_strip.png");
    if (!full) {
        return;
    }
    const sf::IntRect rect = full->getTextureRect();
    if (rect.width <= 0 || rect.height <= 0 ||
        !hatTexture.create(static_cast<unsigned>(rect.width), static_cast<unsigned>(rect.height))) {
        reportProblem("Couldn't create the hat texture of player %d", number);
        return;
    }
    hatTexture.clear(sf::Color::Transparent);
    const PlayerColors colors = playerColors(number);
    const sf::Color lift(10, 10, 10, 0);
    // Drawn through copies: the asset store's sprites are shared with others.
    sf::Sprite fullCopy = *full;
    fullCopy.setColor(colors.clothes1 + lift);
    fullCopy.setPosition(0.0f, 0.0f);
    fullCopy.setOrigin(0.0f, 0.0f);
    hatTexture.draw(fullCopy);
    if (strip) {
        sf::Sprite stripCopy = *strip;
        stripCopy.setColor(colors.clothes2 + lift);
        stripCopy.setPosition(0.0f, 0.0f);
        stripCopy.setOrigin(0.0f, 0.0f);
        hatTexture.draw(stripCopy);
    }
    hatTexture.display();
}

void PlayerControllerComponent::createAudioSources() {
    auto object = getGameObject();
    const float v = SoundManager::instance().soundVolume;
    auto makeSource = [&](float volume) {
        auto source = addComponent<AudioSourceComponent>(object);
        if (source) {
            source->setVolume(v * volume);
        }
        return source;
    };
    footstepSource = makeSource(30.0f);
    magicSource = makeSource(25.0f);
    if (magicSource) {
        magicSource->setSound(createNamedSound("magic"));
        if (magicSource->sound) {
            magicSource->sound->setLoop(true);
        }
    }
    hitSource = makeSource(30.0f);
    flingSource = makeSource(30.0f);
    cutSource = makeSource(30.0f);
    jumpSource = makeSource(50.0f);

    fillSounds(groundHitSounds, {"groundHit1", "groundHit2"});
    fillSounds(playerHitSounds, {"playerHit1", "playerHit2", "playerHit3"});
    fillSounds(footstepSounds, {"footstep1", "footstep2", "footstep3"});
    fillSounds(flingSounds, {"slash1", "slash2", "slash3", "slash4"});
    fillSounds(cutSounds, {"beardCut1", "beardCut2"});
    fillSounds(jumpSounds, {"jump1", "jump2"});
}

void PlayerControllerComponent::attachToHealthBar() {
    // A map without the bar gives a match without it.
    auto bar = GameObjectManager::instance().findGameObject("Healthbar" + std::to_string(number));
    if (auto healthBar = bar ? bar->getComponent<HealthBarComponent>() : nullptr) {
        healthBar->setPlayer(this);
    }
}

void PlayerControllerComponent::update(float delta, float time) {
    current.growTimer += delta;
    if (current.growTimer > tuning.growInterval) {
        current.growTimer -= tuning.growInterval;
        growBeard();
    }
    stepTimer += delta;

    if (current.attackTimer > 0.0f) {
        current.attackTimer -= delta;
        if (current.attackTimer <= 0.0f) {
            // The beard is armed only during a fling's window: whatever the
            // window, its end disarms it, and a grab let go within it may
            // grab again.
            current.skipTagClear = false;
            playerBeard.clearAttackTags();
        }
    }

    auto object = getGameObject();
    // A blown-up body has no place to compare with `killY`: it counts as fallen.
    const bool blownUp = physicsBlownUp();
    if (blownUp || current.deathTimer >= 0.0f ||
        (object && object->transform->getPosition().y > static_cast<float>(tuning.killY))) {
        // Dying moves bodies and cuts the beard: done after this frame's walk.
        // The call holds the controller weakly; a match torn down first skips it.
        std::weak_ptr<PlayerControllerComponent> self = selfOf(*object, this);
        EventManager::instance().invokeLater([self, delta, time, blownUp]() {
            if (auto controller = self.lock()) {
                if (blownUp) {
                    controller->recoverFromBlowUp(controller->tuning.respawnPoint);
                }
                controller->dieAndRespawn(delta, time);
            }
        });
    }
}

void PlayerControllerComponent::dieAndRespawn(float delta, float) {
    if (current.frozen) {
        return;
    }
    auto& sounds = SoundManager::instance();
    if (current.deathTimer < 0.0f) {
        if (!current.unlimitedLives) {
            current.lives -= 1;
        }
        padRumble::pulse(number, lifeLostRumble);
        current.deathTimer = 0.0f;
        sounds.playSound("death", false, sounds.soundVolume * lifeSoundVolume, 1.0f);
        return;
    }
    current.deathTimer += delta;
    if (current.deathTimer <= tuning.respawnDelay) {
        return;
    }
    if (current.lives > 0) {
        respawn();
        sounds.playSound("respawn", false, sounds.soundVolume * lifeSoundVolume, 1.0f);
        startEmitter(magicParticles);
    } else {
        auto event = std::make_shared<GameOverEvent>();
        event->winner = rivalOf(number);
        EventManager::instance().queueEvent(event);
    }
}

void PlayerControllerComponent::suddenDeath() {
    current.lives = 1;
    current.frozen = false;
    respawn();
    auto& sounds = SoundManager::instance();
    sounds.playSound("respawn", false, sounds.soundVolume * lifeSoundVolume, 1.0f);
    startEmitter(magicParticles);
}

void PlayerControllerComponent::respawn() {
    // Cut first: the leftovers are placed where the player was.
    removeBeard();
    auto object = getGameObject();
    object->transform->setPosition(tuning.respawnPoint);
    object->transform->markMoved();
    growBeard();
    current.deathTimer = -1.0f;
}

void PlayerControllerComponent::playImpactSound(float strength,
                                                const std::vector<std::shared_ptr<sf::Sound>>& list) {
    if (isPlaying(hitSource) || !hitSource) {
        return;
    }
    auto sound = soundByStrength(list, strength);
    if (!sound) {
        return;
    }
    const float e = std::min(strength, 1.0f);
    const float volume = ((1.0f - e) * 10.0f + e * 40.0f) * SoundManager::instance().soundVolume;
    hitSource->setSound(sound);
    sound->play();
    sound->setPitch(hitSource->pitch);
    sound->setVolume(std::clamp(volume, 0.0f, 100.0f));
}

bool PlayerControllerComponent::isGrounded() const {
    auto object = getGameObject();
    if (!object) {
        return false;
    }
    const sf::Vector2f position = object->transform->getPosition();
    auto& physics = PhysicsManager::instance();
    const float y = position.y + current.halfHeight;
    bool hit = physics.rayCast(current.mask, position.x + current.halfWidth, y, 0.0f, 1.0f,
                               groundProbeLength) != nullptr;
    if (!hit) {
        hit = physics.rayCast(current.mask, position.x - current.halfWidth, y, 0.0f, 1.0f,
                              groundProbeLength) != nullptr;
    }
    return hit && current.groundCheckEnabled;
}

b2Vec2 PlayerControllerComponent::groundVelocity() const {
    auto object = getGameObject();
    if (!object) {
        return {0.0f, 0.0f};
    }
    const sf::Vector2f position = object->transform->getPosition();
    const float y = position.y + current.halfHeight;
    auto& physics = PhysicsManager::instance();
    for (const float x : {position.x + current.halfWidth, position.x - current.halfWidth}) {
        auto hit = physics.rayCast(current.mask, x, y, 0.0f, 1.0f, groundProbeLength);
        auto ground = hit ? hit->gameObject.lock() : nullptr;
        if (ground && ground->rigidBody && ground->rigidBody->bodyType == b2_kinematicBody) {
            return ground->rigidBody->getVelocity();
        }
    }
    return {0.0f, 0.0f};
}

void PlayerControllerComponent::onCollisionEnter(std::shared_ptr<GameObject> other) {
    if (!other || !other->hasTag("Beard") || !other->hasTag("Attack") || !other->rigidBody || !body) {
        return;
    }
    const b2Vec2 velocity = other->rigidBody->getVelocity();
    const float s = velocity.LengthSquared();
    if (std::sqrt(s) > tuning.hitSpeed) {
        const float direction = velocity.x > 0.0f ? 1.0f : (velocity.x < 0.0f ? -1.0f : 0.0f);
        // An impulse is no structural change: Box2D takes it inside a step.
        body->applyLinearImpulse(s * direction, -tuning.knockBackLift);
        padRumble::pulse(number, hitRumble);
    }
}

void PlayerControllerComponent::onEvent(std::shared_ptr<GameEvent> event) {
    if (std::dynamic_pointer_cast<GameOverEvent>(event)) {
        current.frozen = true;
    }
}

void PlayerControllerComponent::snapshotState(StateIo& io) {
    io.value(current);
    playerBeard.snapshotState(io);
}

std::function<void()> PlayerControllerComponent::keepShown() {
    return [this, animation = shownAnimation, steps = stepTimer, step = lastStep, pulse = magicTimer] {
        shownAnimation = animation;
        stepTimer = steps;
        lastStep = step;
        magicTimer = pulse;
    };
}
