#include "core/EventManager.hpp"
#include "scene/GameObjectManager.hpp"

bool attachNewComponent(const std::shared_ptr<GameObject>& gameObject,
                        const std::shared_ptr<Component>& component) {
    if (!gameObject || !component || gameObject->hasComponent(component)) {
        return false;
    }
    // The component's kind may refuse the object or note itself on it before
    // `init` runs (a rigid body, which its colliders and joints look for there).
    if (!component->onAttaching(*gameObject, component)) {
        return false;
    }
    addComponent(gameObject, component);
    component->onAttached(component);
    if (auto listener = std::dynamic_pointer_cast<IEventListener>(component)) {
        EventManager::instance().addListener(listener);
    }
    return true;
}
