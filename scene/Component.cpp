#include "scene/Component.hpp"

#include "scene/GameObject.hpp"

void Component::init() {
    auto owner = gameObject.lock();
    gameObjectActive = owner && owner->isActiveInHierarchy();
}

void Component::update(float, float) {}
void Component::fixedUpdate(float, float) {}
bool Component::isEnabled() {
    return enabled && gameObjectActive;
}
void Component::onCollisionEnter(std::shared_ptr<GameObject>) {}
void Component::onCollisionStay(std::shared_ptr<GameObject>) {}
void Component::onCollisionExit(std::shared_ptr<GameObject>) {}
void Component::onTriggerEnter(std::shared_ptr<GameObject>) {}
void Component::onTriggerStay(std::shared_ptr<GameObject>) {}
void Component::onTriggerExit(std::shared_ptr<GameObject>) {}
bool Component::onAttaching(GameObject&, const std::shared_ptr<Component>&) {
    return true;
}
void Component::onAttached(const std::shared_ptr<Component>&) {}
void Component::onRemoved(GameObject&) {}
void Component::snapshotState(StateIo&) {}
std::function<void()> Component::keepShown() {
    return {};
}

uint32_t stateIdentity(const Component* component) {
    const GameObject* owner = component ? component->peekGameObject() : nullptr;
    return owner ? owner->serial : 0u;
}
