#pragma once

#include <memory>
#include <type_traits>

class GameObject;

// The unit of behaviour of the scene. A component lives on one game object,
// is updated every frame and every fixed physics step while it is enabled,
// and hears when its object starts, keeps and stops touching another object.
// Components are always made through `addComponent<T>` (GameObjectManager.hpp)
// and owned by their game object through a shared pointer.
class Component {
public:
    virtual ~Component() = default;

    // Runs once when the component is attached; the owner is already set.
    // The default copies the owner's activity into `gameObjectActive`.
    virtual void init();
    // delta: last frame's duration, time: accumulated frame time (seconds).
    virtual void update(float delta, float time);
    // step: the fixed step (1/60 s), time: accumulated fixed time (seconds).
    virtual void fixedUpdate(float step, float time);
    virtual bool isEnabled();

    // Contact calls reach every component of the object, enabled or not.
    virtual void onCollisionEnter(std::shared_ptr<GameObject> other);
    virtual void onCollisionStay(std::shared_ptr<GameObject> other);
    virtual void onCollisionExit(std::shared_ptr<GameObject> other);
    virtual void onTriggerEnter(std::shared_ptr<GameObject> other);
    virtual void onTriggerStay(std::shared_ptr<GameObject> other);
    virtual void onTriggerExit(std::shared_ptr<GameObject> other);

    // The owning object, or empty when detached or when the owner is gone.
    std::shared_ptr<GameObject> getGameObject() const { return gameObject.lock(); }

    // Observed, never owned: the object owns its components.
    std::weak_ptr<GameObject> gameObject;
    // The component's own switch.
    bool enabled = true;
    // A copy of the owner's activity, written by `init` and `GameObject::setActive`.
    bool gameObjectActive = true;

    // Whether the component's class has its own `fixedUpdate`, `onCollisionStay`
    // and `onTriggerStay`, its own `onCollisionEnter` or `onCollisionExit`, its
    // own `onTriggerEnter` or `onTriggerExit`. The defaults do nothing, so the
    // object's fixed step and contact calls skip what a class only inherits:
    // the scene has hundreds of components and few of them do anything per
    // step or per contact. Filled in by `addComponent<T>` from T itself; true
    // (called) for a component attached any other way.
    bool hasFixedUpdate = true;
    bool hearsCollisionStay = true;
    bool hearsTriggerStay = true;
    bool hearsCollisions = true;
    bool hearsTriggers = true;
};

// Records in `component` which per-step operations class T gives its own
// body. An operation T inherits unchanged from Component still names
// Component as its class, whatever lies between them.
template <class T> void noteOwnOperations(Component& component) {
    static_assert(std::is_base_of_v<Component, T>, "T must be a component");
    using Contact = void (Component::*)(std::shared_ptr<GameObject>);
    component.hasFixedUpdate = !std::is_same_v<decltype(&T::fixedUpdate), void (Component::*)(float, float)>;
    component.hearsCollisionStay = !std::is_same_v<decltype(&T::onCollisionStay), Contact>;
    component.hearsTriggerStay = !std::is_same_v<decltype(&T::onTriggerStay), Contact>;
    component.hearsCollisions = !std::is_same_v<decltype(&T::onCollisionEnter), Contact> ||
                                !std::is_same_v<decltype(&T::onCollisionExit), Contact>;
    component.hearsTriggers = !std::is_same_v<decltype(&T::onTriggerEnter), Contact> ||
                              !std::is_same_v<decltype(&T::onTriggerExit), Contact>;
}
