// The player's fixed step: running, jumping, air control, magic (floating,
// steering, flinging, swinging), facing, grabbing, cutting and the hold timeout.
#include <algorithm>
#include <cmath>
#include <string>

#include "audio/AudioSourceComponent.hpp"
#include "core/input/InputManager.hpp"
#include "game/PlayerNames.hpp"
#include "game/player/BeardMeshBuilder.hpp"
#include "game/player/BeardSegmentComponent.hpp"
#include "game/player/PlayerColors.hpp"
#include "game/player/PlayerControllerComponent.hpp"
#include "game/player/PlayerEmitters.hpp"
#include "game/player/PlayerSounds.hpp"
#include "physics/ColliderComponent.hpp"
#include "physics/RevoluteJointComponent.hpp"
#include "physics/RigidBodyComponent.hpp"
#include "physics/WeldJointComponent.hpp"
#include "render/ParticleSystemComponent.hpp"
#include "scene/GameObjectManager.hpp"

namespace {
const sf::Color grabDustColor(90, 93, 112, 255);

std::shared_ptr<RigidBodyComponent> bodyOf(const std::shared_ptr<BeardSegmentComponent>& segment) {
    auto object = segment ? segment->getGameObject() : nullptr;
    return object ? object->rigidBody : nullptr;
}
} // namespace

void PlayerControllerComponent::fixedUpdate(float step, float time) {
    if (!body) {
        return;
    }
    auto& input = InputManager::instance();
    const float h = input.getAxis(playerActionName(number, "Horizontal"));
    const float v = input.getAxis(playerActionName(number, "Vertical"));
    const bool jump = input.wasPressed(playerActionName(number, "Jump"));
    const bool magicDown = input.wasPressed(playerActionName(number, "Magic"));
    const bool grounded = isGrounded();

    stopEmitter(dustParticles);
    if (collider) {
        // A jumping player slides off walls instead of sticking to them.
        collider->setFriction(grounded || current.magicActive ? 1.0f : 0.0f);
    }
    if (grounded) {
        current.magicCharges = tuning.maxMagicCharges;
    }
    if (magicTimer != 0.0f) {
        magicTimer += magicTimer > 0.0f ? step : -step;
        if (std::fabs(magicTimer) > tuning.magicPulseTime) {
            magicTimer = 0.0f;
        }
    }
    if (!current.magicActive && magicDown && (current.magicCharges > 0 || current.holdingPlatform)) {
        current.magicActive = true;
        // Holding a platform gives a use even without a charge left.
        current.magicCharges = std::max(0, current.magicCharges - 1);
        magicTimer += step;
    }

    if (current.magicActive) {
        runMagic(step, time, h, v, magicDown, grounded);
    } else {
        runGroundMovement(step, time, h, jump, grounded);
        updateFacing();
    }
    tryGrab();
    tryCut(time);
    runHoldTimeout(step);
    runAnimationStates(grounded);
    if (playerBeard.firstSegment()) {
        updateBeardMesh(playerBeard, *this, time);
    }
}

void PlayerControllerComponent::pauseLoopingSounds() {
    if (isPlaying(magicSource)) {
        magicSource->sound->pause();
    }
}

void PlayerControllerComponent::runMagic(float step, float time, float h, float v, bool magicDown,
                                         bool grounded) {
    if (magicSource && magicSource->sound && !isPlaying(magicSource)) {
        magicSource->sound->play();
        magicSource->sound->setPitch(magicSource->pitch);
        magicSource->sound->setVolume(magicSource->volume);
    }
    if (magicDown) {
        for (auto segment = playerBeard.firstSegment(); segment; segment = segment->towardTip.lock()) {
            if (auto segmentBody = bodyOf(segment)) {
                segmentBody->applyForce(0.0f, -tuning.floatForce * step);
            }
            startEmitter(segment->trailParticles);
        }
        const float length = std::sqrt(h * h + v * v);
        if (length > 1.0f) {
            h /= length;
            v /= length;
        }
        if (current.holding && current.holdingPlatform) {
            const b2Vec2 base = grounded ? b2Vec2(0.0f, 0.0f) : body->getVelocity();
            body->setVelocity(base.x + tuning.swingSpeed * step * h, base.y + tuning.swingSpeed * step * v);
        } else {
            if (auto tip = bodyOf(playerBeard.lastSegment())) {
                const b2Vec2 tipVelocity = tip->getVelocity();
                tip->setVelocity(0.5f * tipVelocity.x + tuning.tipSteerSpeed * step * h,
                                 0.5f * tipVelocity.y + tuning.tipSteerSpeed * step * v);
            }
            if (grounded) {
                body->setVelocity(0.0f, 0.0f);
            }
        }
        return;
    }

    // Released: the fling.
    magicTimer = -step;
    current.magicActive = false;
    playOn(flingSource, soundByTime(flingSounds, time, 4));
    const float perSegment = static_cast<float>(playerBeard.segmentCount()) * tuning.flingForcePerSegment;
    const float fx = perSegment + tuning.flingForce * h;
    const float fy = perSegment + tuning.flingForce * v;
    const bool swinging = current.holding && current.holdingPlatform;
    int k = 0;
    for (auto segment = playerBeard.firstSegment(); segment; segment = segment->towardTip.lock()) {
        ++k;
        const float share = static_cast<float>(k) / static_cast<float>(playerBeard.segmentCount());
        const float w = swinging ? 1.0f - share : share;
        auto object = segment->getGameObject();
        if (!current.holding && object) {
            object->addTag("Attack");
        }
        stopEmitter(segment->trailParticles);
        if (auto segmentBody = bodyOf(segment)) {
            segmentBody->applyForce(fx * w, fy * w);
        }
    }
    if (current.holding) {
        releaseGrab();
    }
    current.attackTimer = tuning.attackDuration;
}

void PlayerControllerComponent::releaseGrab() {
    playerBeard.releaseGrab();
    current.holding = false;
    current.skipTagClear = true;
    current.holdingPlatform = false;
}

void PlayerControllerComponent::runGroundMovement(float step, float time, float h, bool jump, bool grounded) {
    if (isPlaying(magicSource)) {
        magicSource->sound->pause();
    }
    if (!grounded) {
        body->applyForce(step * h * tuning.airForce, 0.0f);
        return;
    }
    // A moving platform carries the player: its motion is added to the run,
    // and one going down takes the player with it instead of dropping away.
    const b2Vec2 carried = groundVelocity();
    const float vx = h * tuning.groundSpeed + carried.x;
    const float vy = body->getVelocity().y;
    body->setVelocity(vx, carried.y > 0.0f ? std::max(vy, carried.y) : vy);
    if (jump) {
        body->setVelocity(vx, std::min(0.0f, carried.y) - tuning.jumpSpeed);
        if (!isPlaying(jumpSource)) {
            playOn(jumpSource, soundByTime(jumpSounds, time, 4));
        }
    }
    if (std::fabs(vx) > tuning.runningSpeed) {
        if (stepTimer > tuning.stepInterval) {
            stepTimer = 0.0f;
            const int count = static_cast<int>(footstepSounds.size());
            const int next = lastStep == 0 ? 1 : 0;
            lastStep = count > 0 ? next % count : 0;
            playOn(footstepSource, soundAt(footstepSounds, lastStep));
        }
        startEmitter(dustParticles);
    }
}

void PlayerControllerComponent::updateFacing() {
    const float x = body->getVelocity().x;
    if (std::fabs(x) <= tuning.facingSpeed) {
        return;
    }
    const bool left = x <= 0.0f;
    if (left == current.facingLeft) {
        return;
    }
    current.facingLeft = left;
    auto object = getGameObject();
    const sf::Vector2f scale = object->transform->getScale();
    object->transform->setScale(-scale.x, scale.y);
    playerBeard.turn(object, current.facingLeft);
}

void PlayerControllerComponent::tryGrab() {
    if (!playerBeard.lastSegment()) {
        // Only a beard that lost its tip without a cut gets here: start afresh.
        playerBeard.forgetChain();
        growBeard();
        return;
    }
    auto tipObject = playerBeard.lastSegment()->getGameObject();
    auto tipBody = bodyOf(playerBeard.lastSegment());
    const bool mayGrab = !current.skipTagClear && !current.holding && playerBeard.lastSegment()->touched &&
                         tipObject && tipObject->hasTag("Attack");
    if (!mayGrab || !tipBody) {
        return;
    }
    const b2Vec2 velocity = tipBody->getVelocity();
    if (velocity.Length() <= tuning.hitSpeed || playerBeard.overstretched()) {
        return;
    }
    if (playerBeard.lastSegment()->hitParticles) {
        playerBeard.lastSegment()->hitParticles->sprite.setColor(grabDustColor);
        startEmitter(playerBeard.lastSegment()->hitParticles);
    }
    playerBeard.weldTip();
    current.holding = true;
    current.holdingPlatform = playerBeard.lastSegment()->touchedPlatform;
    current.holdTimer = 0.0f;
}

void PlayerControllerComponent::tryCut(float time) {
    if (!playerBeard.lastSegment()) {
        return;
    }
    auto hit = playerBeard.lastSegment()->hitSegment.lock();
    auto tipObject = playerBeard.lastSegment()->getGameObject();
    if (!hit || hit->cut || !hit->owner || !tipObject || !tipObject->hasTag("Attack")) {
        return;
    }
    if (playerBeard.lastSegment()->cutParticles) {
        playerBeard.lastSegment()->cutParticles->sprite.setColor(
            playerColors(hit->owner->playerNumber()).hair);
        startEmitter(playerBeard.lastSegment()->cutParticles);
    }
    playOn(cutSource, soundByTime(cutSounds, time, 7));
    playerBeard.lastSegment()->hitSegment.reset();
    hit->owner->cutBeard(hit);
}

void PlayerControllerComponent::runHoldTimeout(float step) {
    if (!current.holding) {
        return;
    }
    if (current.holdTimer > tuning.maxHoldTime) {
        releaseGrab();
        // No window runs to end the block on grabbing: left set, it would
        // keep the next fling from grabbing.
        current.skipTagClear = current.attackTimer > 0.0f;
        current.magicActive = false;
        magicTimer = -step;
    } else {
        current.holdTimer += step;
    }
}
