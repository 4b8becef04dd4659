#include "core/EventManager.hpp"
#include "physics/RigidBodyComponent.hpp"
#include "render/RenderManager.hpp"
#include "render/RenderableComponent.hpp"
#include "scene/GameObjectManager.hpp"

bool attachNewComponent(const std::shared_ptr<GameObject>& gameObject,
                        const std::shared_ptr<Component>& component) {
    if (!gameObject || !component) {
        return false;
    }
    // An object keeps its first rigid body; it is remembered before `init`
    // runs, because the body's colliders and joints look for it there.
    auto rigidBody = std::dynamic_pointer_cast<RigidBodyComponent>(component);
    if (rigidBody) {
        if (gameObject->rigidBody) {
            return false;
        }
        gameObject->rigidBody = rigidBody;
    }
    if (!addComponent(gameObject, component)) {
        if (rigidBody && gameObject->rigidBody == rigidBody) {
            gameObject->rigidBody.reset();
        }
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
