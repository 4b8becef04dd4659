#include "game/hud/HealthBarComponent.hpp"

#include <algorithm>
#include <cmath>

#include "game/player/PlayerColors.hpp"
#include "render/AssetManager.hpp"
#include "render/CameraComponent.hpp"
#include "render/ParticleSystemComponent.hpp"
#include "render/RenderManager.hpp"
#include "render/SpriteRendererComponent.hpp"
#include "scene/GameObjectManager.hpp"

namespace {
constexpr float pi = 3.14159265358979f;

// The icons and their bursts are the heads-up display: drawn after everything
// else on the "Foreground" layer (its tiles are at depth 0), so grass and vines
// passing under the screen-fixed bar never cover a hat.
constexpr int32_t iconDepth = -1;

bool isAncestorOf(const GameObject& candidate, const GameObject& object) {
    for (auto parent = object.lockParent(); parent; parent = parent->lockParent()) {
        if (parent.get() == &candidate) {
            return true;
        }
    }
    return false;
}

void setUpBurst(ParticleSystemComponent& particles, const std::shared_ptr<sf::Sprite>& particleSprite,
                const sf::Color& tint) {
    // A copy of the shared sprite: tinting the asset store's own would recolour
    // every other user of "particle.png".
    if (particleSprite) {
        particles.sprite = *particleSprite;
        const sf::IntRect rectangle = particles.sprite.getTextureRect();
        particles.sprite.setOrigin(rectangle.width * 0.5f, rectangle.height * 0.5f);
        particles.sprite.setColor(tint);
    }
    particles.burstSize = 100;
    particles.emissionLimit = 1;
    particles.emissionsLeft = 0;
    particles.emissionPeriod = 0.0f;
    particles.emitting = false;
    particles.angleMin = 0.0f;
    particles.angleMax = 2.0f * pi;
    particles.speedMin = 300.0f;
    particles.speedMax = 500.0f;
    particles.lifetimeMin = 0.3f;
    particles.lifetimeMax = 0.4f;
    particles.scaleMin = 1.5f;
    particles.scaleMax = 2.0f;
}
} // namespace

void HealthBarComponent::setPlayer(const PlayerControllerComponent* newPlayer) {
    if (!newPlayer || player) {
        return;
    }
    player = newPlayer;
    if (auto playerOwner = shown().gameObject()) {
        playerObject = playerOwner;
        playerHadObject = true;
    }
    auto bar = getGameObject();
    if (!bar) {
        return;
    }
    bar->transform->setScale(1.0f, 1.0f);
    attachToMainCamera(*bar);
    rightSide = bar->transform->getLocalPosition().x > 0.0f;
    buildIcons(bar);
}

void HealthBarComponent::attachToMainCamera(GameObject& bar) {
    auto camera = RenderManager::instance().getMainCamera();
    auto cameraObject = camera ? camera->getGameObject() : nullptr;
    // Without a camera the bar stays where the map put it. A camera on the bar
    // itself or below it would make the bar its own ancestor.
    if (!cameraObject || cameraObject.get() == &bar || isAncestorOf(bar, *cameraObject)) {
        return;
    }
    const sf::Vector2f world = bar.transform->getPosition();
    const sf::Vector2f local =
        cameraObject->transform->getWorldTransform().getInverse().transformPoint(world);
    bar.parent = cameraObject;
    bar.transform->setPosition(local);
}

void HealthBarComponent::buildIcons(const std::shared_ptr<GameObject>& bar) {
    auto foreground = RenderManager::instance().findLayer("Foreground");
    auto particleSprite = AssetManager::instance().getSprite("particle.png");
    const PlayerView shownPlayer = shown();
    const sf::Color tint = playerColors(shownPlayer.playerNumber()).clothes1;
    const float side = rightSide ? -1.0f : 1.0f;
    const int count = shownPlayer.lives();
    const float spacing =
        static_cast<float>(iconSpacing) *
        std::min(1.0f, static_cast<float>(roomyIcons) / static_cast<float>(std::max(count, 1)));

    for (int i = 0; i < count; ++i) {
        auto icon = GameObjectManager::instance().createGameObject("Health");
        icon->simulated = false;
        icon->parent = bar;
        icon->transform->setPosition(spacing * static_cast<float>(i) * side, 0.0f);
        icon->transform->setScale(side, 1.0f);

        auto renderer = addComponent<SpriteRendererComponent>(
            icon, std::make_shared<sf::Sprite>(shownPlayer.hatTexture()));
        renderer->depth = iconDepth;
        if (foreground) {
            renderer->setLayer(foreground);
        }
        icons.push_back(renderer);

        auto particles = addComponent<ParticleSystemComponent>(icon, iconDepth, foreground);
        setUpBurst(*particles, particleSprite, tint);
    }
}

void HealthBarComponent::update(float delta, float) {
    if (!player) {
        return;
    }
    if (playerHadObject && playerObject.expired()) {
        player = nullptr;
        return;
    }
    showLives();
    runHopWave(delta);
    runLoss(delta);
}

void HealthBarComponent::showLives() {
    const PlayerView shownPlayer = shown();
    for (int i = 0; i < static_cast<int>(icons.size()); ++i) {
        SpriteRendererComponent& renderer = *icons[static_cast<size_t>(i)];
        if (i < shownPlayer.lives()) {
            if (!renderer.enabled || losingIcon == i) {
                // A life given back (sudden death): its hat stands up again.
                restoreIcon(i);
            }
            renderer.enabled = true;
        } else if (renderer.enabled && losingIcon < 0) {
            // One loss at a time: the next hidden life waits for this one to finish.
            losingIcon = i;
            lossTimer = lossDuration;
        }
    }
}

void HealthBarComponent::restoreIcon(int index) {
    if (losingIcon == index) {
        losingIcon = -1;
    }
    if (auto icon = icons[static_cast<size_t>(index)]->getGameObject()) {
        icon->transform->setRotation(0.0f);
        icon->transform->setScale(rightSide ? -1.0f : 1.0f, 1.0f);
    }
}

void HealthBarComponent::runHopWave(float delta) {
    hopClock += delta;
    if (hopClock > hopPeriod) {
        hopClock = 0.0f;
    }
    for (size_t i = 0; i < icons.size(); ++i) {
        auto icon = icons[i]->getGameObject();
        if (!icon) {
            continue;
        }
        const float delay = static_cast<float>(i) * hopDelay;
        float y = 0.0f;
        if (delay < hopClock && hopClock < delay + hopDuration) {
            y = std::sin((hopClock - delay) / hopDuration * pi) * hopHeight;
        }
        icon->transform->setPosition(icon->transform->getLocalPosition().x, y);
    }
}

void HealthBarComponent::runLoss(float delta) {
    if (losingIcon < 0) {
        return;
    }
    lossTimer -= delta;
    SpriteRendererComponent& renderer = *icons[static_cast<size_t>(losingIcon)];
    auto icon = renderer.getGameObject();
    if (lossTimer < 0.0f) {
        renderer.enabled = false;
        if (icon) {
            if (auto particles = icon->getComponent<ParticleSystemComponent>()) {
                particles->emissionsLeft = particles->emissionLimit;
                particles->emitting = true;
            }
        }
        losingIcon = -1;
        return;
    }
    if (!icon) {
        return;
    }
    // Tip 30 degrees outwards in the first tenth, then swing over to 120
    // degrees the other way while shrinking to nothing.
    const float progress = 1.0f - lossTimer / lossDuration;
    const float side = rightSide ? -1.0f : 1.0f;
    float rotation;
    if (progress < 0.1f) {
        rotation = side * 30.0f * (progress / 0.1f);
    } else {
        const float h = (progress - 0.1f) / 0.9f;
        rotation = side * 30.0f * (1.0f - h) - side * 120.0f * h;
    }
    icon->transform->setRotation(rotation);
    icon->transform->setScale(side * (1.0f - progress), 1.0f - progress);
}
