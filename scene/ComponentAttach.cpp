#include "core/EventManager.hpp"
#include "render/RenderManager.hpp"
#include "render/RenderableComponent.hpp"
#include "scene/GameObjectManager.hpp"

bool attachNewComponent(const std::shared_ptr<GameObject>& gameObject, const std::shared_ptr<Component>& component) {
    if (!gameObject || !component) {
        return false;
    }
    if (!addComponent(gameObject, component)) {
        return false;
    }
    if (auto renderable = std::dynamic_pointer_cast<RenderableComponent>(component)) {
        RenderManager::instance().addRenderable(renderable);
    }
    if (auto listener = std::dynamic_pointer_cast<IEventListener>(component)) {
        EventManager::instance().addListener(listener);
    }
    return true;
}
