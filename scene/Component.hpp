#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <type_traits>

class GameObject;
class StateIo;

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

    // Lifecycle hooks through which the engine's subsystems hear about their
    // components without the scene knowing them.
    //
    // Before `init`, when the component is about to join `owner`; false
    // refuses the attachment (an object keeps its first rigid body, say).
    virtual bool onAttaching(GameObject& owner, const std::shared_ptr<Component>& self);
    // After `init`: registers the component where its kind is listed (the
    // render manager lists renderables).
    virtual void onAttached(const std::shared_ptr<Component>& self);
    // The component was taken off `owner` (`GameObject::removeComponent`), or
    // `owner` is being freed and `releaseOrder` is above 0: it lets go of
    // what it made outside its object (a Box2D joint, fixture or body) now,
    // whoever still holds the component.
    virtual void onRemoved(GameObject& owner);
    // When a freed object calls `onRemoved` on this component: those of
    // order 1 first, then 2, and so on, while the object is still whole
    // (joints go before fixtures, which go before the body they hang on).
    // 0, the default: the component simply goes with its object.
    virtual int releaseOrder() const { return 0; }

    // Names, through `io`, every field of the component that a later step
    // of the match reads and that changes during it: the same walk saves
    // the fields into a match snapshot and restores them from one (see
    // StateIo). The default has none: most components only show, or keep
    // settings made when they were built. What only shows (sounds,
    // particles, animation) is left out, and must not be read back by what
    // the walk names. The enabled flags are the object's to walk.
    virtual void snapshotState(StateIo& io);
    // For a look ahead that plays the match on and then puts it back (the
    // replay viewer's): what only shows and runs on from frame to frame
    // (particles, an animation's clock, a voice playing) is kept now, and
    // the call returned puts it back and silences what started since. The
    // default keeps nothing.
    virtual std::function<void()> keepShown();

    // The owning object, or empty when detached or when the owner is gone.
    std::shared_ptr<GameObject> getGameObject() const { return gameObject.lock(); }
    // The same object, not held: for hot paths that run while something else
    // keeps the owner alive (its own fixed step, a transform read), where a
    // reference count touched per call adds up over hundreds of objects.
    // Null when detached or when the owner is gone.
    GameObject* peekGameObject() const { return gameObject.expired() ? nullptr : ownerAddress; }

    // Observed, never owned: the object owns its components.
    std::weak_ptr<GameObject> gameObject;
    // Set and cleared with `gameObject`; read only through `peekGameObject`.
    GameObject* ownerAddress = nullptr;
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

// A component is named in a match's checksum by its owner's serial (0 when
// it has none).
uint32_t stateIdentity(const Component* component);

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
