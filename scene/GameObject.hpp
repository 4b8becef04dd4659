#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>
#include <typeinfo>
#include <vector>

#include "scene/Component.hpp"
#include "scene/ParentLink.hpp"
#include "scene/TransformComponent.hpp"

class RigidBodyComponent;

// A named container of components: the only kind of thing in a scene.
// Created, listed, found and destroyed through the GameObjectManager, owned by
// it through shared pointers. Parent and touching objects are only observed.
class GameObject {
public:
    explicit GameObject(std::string name);
    // Joints, then fixtures, go before the rigid body they hang on.
    ~GameObject();
    // The object leaves the scene for good, or for as long as no restore of
    // an earlier frame brings it back: every component lets go of what it
    // made outside the object (joints, then fixtures, then the body) and
    // counts as inactive, whoever still holds the object (a match
    // snapshot does). A restore that brings it back makes them again.
    void releaseComponents();
    GameObject(const GameObject&) = delete;
    GameObject& operator=(const GameObject&) = delete;

    // False when inactive or destroyed, or when any live ancestor is.
    bool isActiveInHierarchy() const;
    // Writes `value` into every component's `gameObjectActive`; children are not visited.
    void setActive(bool value);
    std::shared_ptr<GameObject> lockParent() const { return parent.lock(); }

    bool hasComponent(const std::shared_ptr<Component>& component) const;
    // The first component whose dynamic type is or derives from T, else empty.
    template <class T> std::shared_ptr<T> getComponent() const {
        for (const auto& component : components) {
            if (auto typed = castComponent<T>(component)) {
                return typed;
            }
        }
        return nullptr;
    }
    template <class T> std::vector<std::shared_ptr<T>> getComponents() const {
        std::vector<std::shared_ptr<T>> found;
        for (const auto& component : components) {
            if (auto typed = castComponent<T>(component)) {
                found.push_back(std::move(typed));
            }
        }
        return found;
    }
    // `component` as a T, else empty. Nothing derives from a final T, so its
    // exact type decides: far cheaper than a failed dynamic cast, and contact
    // handlers look components up on every contact begun.
    template <class T> static std::shared_ptr<T> castComponent(const std::shared_ptr<Component>& component) {
        if constexpr (std::is_final_v<T>) {
            return typeid(*component) == typeid(T) ? std::static_pointer_cast<T>(component) : nullptr;
        } else {
            return std::dynamic_pointer_cast<T>(component);
        }
    }
    // Detaches the component. A removed rigid body first releases its physics
    // body, a removed joint or collider its Box2D joint or fixture. Removed
    // while this object's fixed step or contact calls run, the component is
    // kept alive until they end: the calls already under way still reach it.
    void removeComponent(const std::shared_ptr<Component>& component);
    // Called by addComponent and removeComponent: the fixed step keeps its
    // own list of the components it calls, rebuilt after a change. Change
    // `components` only through those two.
    void componentsChanged() { ++componentChanges; }

    void addTag(const std::string& tag);
    bool hasTag(const std::string& tag) const;
    void removeTag(const std::string& tag);

    void update(float delta, float time);
    // Fixed update of the enabled components, then the stay passes over the
    // objects this one touches (with exits for those that became inactive).
    void fixedUpdate(float step, float time);

    // Called by the physics contact listener; `other` is the touching object.
    void onCollisionEnter(const std::shared_ptr<GameObject>& other);
    void onCollisionExit(const std::shared_ptr<GameObject>& other);
    void onTriggerEnter(const std::shared_ptr<GameObject>& other);
    void onTriggerExit(const std::shared_ptr<GameObject>& other);

    const std::string& getName() const { return name; }

    std::string name;
    // Given by the GameObjectManager at creation, counting from 1: which
    // object this is, the same on every run of the same input (a match's
    // checksum names objects by it).
    uint32_t serial = 0;
    // Set when the object joins a list: false for the scene list, true for the persistent one.
    bool persistent = false;
    // Set by GameObjectManager::destroyGameObject; the object counts as inactive from then on.
    bool destroyed = false;
    bool active = true;
    // False for an object that only shows (the HUD, a camera): match
    // snapshots leave it out and a restore leaves it where it is, so
    // nothing the simulation reads may depend on it.
    bool simulated = true;
    // Observed, never a loop: an assignment that would close one is refused.
    ParentLink parent{*this};
    // Owned, in order of addition; the transform is always first.
    std::vector<std::shared_ptr<Component>> components;
    std::shared_ptr<TransformComponent> transform;
    std::shared_ptr<RigidBodyComponent> rigidBody;
    // An object this one touches. `address` is only read while `object` has
    // not expired: the stay passes check every entry every step, and telling
    // a live, active partner needs no reference count touched that way.
    struct Touching {
        std::weak_ptr<GameObject> object;
        GameObject* address = nullptr;
    };
    // Objects in non-sensor contact; one entry per contact begun, so a pair may repeat.
    std::vector<Touching> collisions;
    // Objects overlapping through a sensor.
    std::vector<Touching> triggers;
    std::vector<std::string> tags;

private:
    using ContactCall = void (Component::*)(std::shared_ptr<GameObject>);
    // `hears` names the flag of the components that take `stay` calls.
    void stayPass(std::vector<Touching>& touching, ContactCall stay, bool Component::*hears,
                  bool triggerList);
    // Calls the components whose flag `only` names, as listed when the call
    // begins: components added by a handler are not called this time, removed
    // ones still are (they stay in `parked` until the outermost call ends).
    void notifyAll(ContactCall call, const std::shared_ptr<GameObject>& other, bool Component::*only);

    // Ends one level of `calling`, releasing the parked components at the last.
    void endCalls();

    // What the fixed step needs of `components`, rebuilt when they change:
    // where the components whose class has its own fixedUpdate sit (most
    // have none, and a beard segment carries a dozen components), and whether
    // any takes collision or trigger stay calls.
    struct FixedStepView {
        std::vector<std::pair<size_t, Component*>> updaters;
        bool collisionStay = false;
        bool triggerStay = false;
        bool built = false;
        unsigned builtFor = 0;
        size_t componentCount = 0;
    };
    const FixedStepView& fixedStepView();
    // The fixed updates of `components` by index from `first` on: the list
    // may change under the walk (a component adds or removes another).
    void fixedUpdateFrom(size_t first, float step, float time);

    // Counts changes to `components`; `fixedView` was built for one value of it.
    unsigned componentChanges = 0;
    FixedStepView fixedView;
    // Nesting depth of the fixed-step walk and the contact calls on this object.
    int calling = 0;
    // Components removed while `calling`; released when it drops to zero.
    std::vector<std::shared_ptr<Component>> parked;
    static void eraseFirst(std::vector<Touching>& list, const std::shared_ptr<GameObject>& other);
};

// An object is named in a match's checksum by its serial (0 for none).
inline uint32_t stateIdentity(const GameObject* object) {
    return object ? object->serial : 0u;
}
