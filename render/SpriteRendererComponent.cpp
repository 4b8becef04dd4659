#include "render/SpriteRendererComponent.hpp"

#include "render/AssetManager.hpp"
#include "scene/GameObject.hpp"

SpriteRendererComponent::SpriteRendererComponent(const std::shared_ptr<sf::Sprite>& sprite)
    : RenderableComponent(0) {
    setSprite(sprite);
}

SpriteRendererComponent::SpriteRendererComponent(const std::string& texturePath, int32_t depth)
    : RenderableComponent(depth) {
    setSprite(AssetManager::instance().getSprite(texturePath));
}

void SpriteRendererComponent::setSprite(const std::shared_ptr<sf::Sprite>& newSprite) {
    if (!newSprite) {
        return;
    }
    const sf::IntRect rectangle = newSprite->getTextureRect();
    newSprite->setOrigin(rectangle.width * 0.5f, rectangle.height * 0.5f);
    sprite = newSprite;
}

void SpriteRendererComponent::setFrame(const AnimationFrame& frame) {
    setSprite(frame.sprite);
    if (frame.sprite && frame.origin) {
        frame.sprite->setOrigin(*frame.origin);
    }
}

void SpriteRendererComponent::draw(float, float, sf::RenderTarget& target) {
    if (!isEnabled() || !sprite) {
        return;
    }
    auto owner = getGameObject();
    if (!owner) {
        return;
    }
    target.draw(*sprite, sf::RenderStates(owner->transform->getWorldTransform()));
}
