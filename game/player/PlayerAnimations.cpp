// The player's animated, colour-tinted character: composing every frame from
// its four atlas layers, and the state machine that picks the animation.
#include <cmath>
#include <string>

#include "game/GameContent.hpp"
#include "game/player/CharacterFrameStore.hpp"
#include "game/player/PlayerColors.hpp"
#include "game/player/PlayerControllerComponent.hpp"
#include "physics/RigidBodyComponent.hpp"
#include "render/AssetManager.hpp"
#include "render/SpriteAnimatorComponent.hpp"
#include "render/SpriteRendererComponent.hpp"
#include "scene/GameObjectManager.hpp"

namespace {
struct AnimationRecipe {
    const char* name;
    int frameCount;
    float framesPerSecond;
    std::vector<AnimationFrame> PlayerControllerComponent::*animation;
};

const AnimationRecipe recipes[] = {
    {"idle", 30, 30.0f, &PlayerControllerComponent::idleAnimation},
    {"run", 30, 45.0f, &PlayerControllerComponent::runAnimation},
    {"jump_idle", 15, 90.0f, &PlayerControllerComponent::jumpIdleAnimation},
    {"run_start", 15, 60.0f, &PlayerControllerComponent::runStartAnimation},
    {"run_stop", 15, 60.0f, &PlayerControllerComponent::runStopAnimation},
    {"jump_run1", 15, 60.0f, &PlayerControllerComponent::jumpRunAnimation},
    {"fall", 16, 60.0f, &PlayerControllerComponent::fallAnimation},
};
} // namespace

bool PlayerControllerComponent::animationFramesMade(int playerNumber, unsigned side) {
    auto& store = CharacterFrameStore::instance();
    const PlayerColors colors = playerColors(playerNumber);
    for (const AnimationRecipe& recipe : recipes) {
        if (!store.isComplete(recipe.name, recipe.frameCount, 1.0f / recipe.framesPerSecond, colors, side)) {
            return false;
        }
    }
    return true;
}

bool PlayerControllerComponent::releaseCharacterArtWhenComposed() {
    if (!animationFramesMade(1) || !animationFramesMade(2)) {
        return false;
    }
    releaseCharacterArt(AssetManager::instance());
    return true;
}

bool PlayerControllerComponent::prepareAnimationFrame(int playerNumber) {
    if (animationFramesMade(playerNumber)) {
        return false;
    }
    // The atlases may have been released after an earlier scheme was made.
    loadCharacterArt(AssetManager::instance());
    auto& store = CharacterFrameStore::instance();
    const PlayerColors colors = playerColors(playerNumber);
    for (const AnimationRecipe& recipe : recipes) {
        if (store.prepareFrame(recipe.name, recipe.frameCount, 1.0f / recipe.framesPerSecond, colors,
                               static_cast<unsigned>(defaultFrameSize))) {
            return true;
        }
    }
    return false;
}

void PlayerControllerComponent::buildAnimations() {
    // Composed once per colour scheme for the whole program; later matches share them.
    auto& store = CharacterFrameStore::instance();
    const PlayerColors colors = playerColors(playerNumber);
    const auto side = static_cast<unsigned>(frameSize);
    if (!animationFramesMade(playerNumber, side)) {
        loadCharacterArt(AssetManager::instance());
    }
    for (const AnimationRecipe& recipe : recipes) {
        this->*recipe.animation =
            store.animation(recipe.name, recipe.frameCount, 1.0f / recipe.framesPerSecond, colors, side);
    }

    auto object = getGameObject();
    animator = addComponent<SpriteAnimatorComponent>(object);
    if (animator) {
        animator->setAnimation(idleAnimation);
    }
    renderer = object->getComponent<SpriteRendererComponent>();
    if (!renderer && !idleAnimation.empty()) {
        renderer = addComponent<SpriteRendererComponent>(object, idleAnimation.front().sprite);
    }
}

void PlayerControllerComponent::runAnimationStates(bool grounded) {
    if (!animator || !body) {
        return;
    }
    const b2Vec2 velocity = body->getVelocity();
    const float vx = velocity.x;
    const float vy = velocity.y;
    auto play = [this](const std::vector<AnimationFrame>& animation, bool loop, AnimState state) {
        animator->loop = loop;
        animator->setAnimation(animation);
        animState = state;
    };
    const bool lastFrame = animator->frameIndex + 1 >= static_cast<int>(animator->frames.size());
    switch (animState) {
    case AnimState::idle:
        if (vy < -tuning.airborneSpeed) {
            play(jumpIdleAnimation, false, AnimState::jump);
        } else if (vy > tuning.airborneSpeed) {
            play(fallAnimation, false, AnimState::fall);
        } else if (std::fabs(vx) > tuning.runningSpeed) {
            play(runStartAnimation, false, AnimState::runStart);
        }
        break;
    case AnimState::run:
        if (vy < -tuning.airborneSpeed) {
            play(jumpRunAnimation, false, AnimState::jump);
        } else if (vy > tuning.airborneSpeed) {
            play(fallAnimation, false, AnimState::fall);
        } else if (std::fabs(vx) < tuning.runningSpeed) {
            play(runStopAnimation, false, AnimState::runStop);
        }
        break;
    case AnimState::jump:
        if (vy > tuning.airborneSpeed) {
            play(fallAnimation, false, AnimState::fall);
        } else if (grounded) {
            play(idleAnimation, true, AnimState::idle);
        }
        break;
    case AnimState::runStart:
        if (lastFrame) {
            play(runAnimation, true, AnimState::run);
        } else if (std::fabs(vx) < tuning.runningSpeed) {
            play(idleAnimation, true, AnimState::idle);
        }
        break;
    case AnimState::runStop:
        if (lastFrame) {
            play(idleAnimation, true, AnimState::idle);
        } else if (std::fabs(vx) > tuning.runningSpeed) {
            play(runAnimation, true, AnimState::run);
        }
        break;
    case AnimState::fall:
        if (grounded) {
            play(idleAnimation, true, AnimState::idle);
        }
        break;
    }
}
