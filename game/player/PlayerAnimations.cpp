// The player's animated, colour-tinted character: composing every frame from
// its four atlas layers, and the state machine that picks the animation.
#include <cmath>
#include <string>

#include "game/GameContent.hpp"
#include "game/PlayerNames.hpp"
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

// Whether `recipe`'s frames in the colours of `playerNumber` at `side` are made.
bool recipeMade(const AnimationRecipe& recipe, int playerNumber, unsigned side) {
    return CharacterFrameStore::instance().isComplete(
        recipe.name, recipe.frameCount, 1.0f / recipe.framesPerSecond, playerColors(playerNumber), side);
}

// Lets go of the atlas of `recipe` once every animation it holds is made for
// both players at the default size: no match needs it again.
void releaseAtlasWhenComposed(const AnimationRecipe& recipe) {
    const std::string atlas = characterAtlasOf(recipe.name);
    const auto side = static_cast<unsigned>(PlayerControllerComponent::defaultFrameSize);
    for (const AnimationRecipe& other : recipes) {
        if (characterAtlasOf(other.name) == atlas &&
            (!recipeMade(other, 1, side) || !recipeMade(other, 2, side))) {
            return;
        }
    }
    releaseCharacterAtlas(AssetManager::instance(), atlas);
}
} // namespace

bool PlayerControllerComponent::animationFramesMade(int playerNumber, unsigned side) {
    for (const AnimationRecipe& recipe : recipes) {
        if (!recipeMade(recipe, playerNumber, side)) {
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

PlayerControllerComponent::Preparation PlayerControllerComponent::prepareAnimationFrame() {
    auto& store = CharacterFrameStore::instance();
    const auto side = static_cast<unsigned>(defaultFrameSize);
    // Animation by animation, both players each, so that one atlas at a time
    // is read, used up and let go.
    for (const AnimationRecipe& recipe : recipes) {
        for (int playerNumber : {1, 2}) {
            if (recipeMade(recipe, playerNumber, side)) {
                continue;
            }
            const std::string atlas = characterAtlasOf(recipe.name);
            if (!characterAtlasAtHand(AssetManager::instance(), atlas)) {
                return Preparation::waiting;
            }
            loadCharacterAtlas(AssetManager::instance(), atlas);
            store.prepareFrame(recipe.name, recipe.frameCount, 1.0f / recipe.framesPerSecond,
                               playerColors(playerNumber), side);
            releaseAtlasWhenComposed(recipe);
            return Preparation::made;
        }
    }
    return Preparation::done;
}

void PlayerControllerComponent::buildAnimations() {
    // Composed once per colour scheme for the whole program; later matches
    // share them. Players 1 and 2 at the default size are composed together,
    // an animation at a time, so each atlas is read once and let go.
    auto& store = CharacterFrameStore::instance();
    const auto side = static_cast<unsigned>(frameSize);
    const bool pair = (number == 1 || number == 2) && side == static_cast<unsigned>(defaultFrameSize);
    for (const AnimationRecipe& recipe : recipes) {
        const float frameDuration = 1.0f / recipe.framesPerSecond;
        for (int colours : {number, rivalOf(number)}) {
            if (colours != number && !pair) {
                continue;
            }
            if (!recipeMade(recipe, colours, side)) {
                loadCharacterAtlas(AssetManager::instance(), characterAtlasOf(recipe.name));
            }
            const auto& frames =
                store.animation(recipe.name, recipe.frameCount, frameDuration, playerColors(colours), side);
            if (colours == number) {
                this->*recipe.animation = frames;
            }
        }
        releaseAtlasWhenComposed(recipe);
    }

    auto object = getGameObject();
    animator = addComponent<SpriteAnimatorComponent>(object);
    if (animator) {
        animator->setAnimation(idleAnimation);
    }
    renderer = object->getComponent<SpriteRendererComponent>();
    if (!renderer && !idleAnimation.empty()) {
        renderer = addComponent<SpriteRendererComponent>(object, idleAnimation.front().sprite);
        if (renderer) {
            renderer->setFrame(idleAnimation.front());
        }
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
        shownAnimation = state;
    };
    const bool lastFrame = animator->frameIndex + 1 >= static_cast<int>(animator->frames.size());
    switch (shownAnimation) {
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
