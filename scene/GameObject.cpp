#include "scene/GameObject.hpp"

#include <algorithm>

GameObject::GameObject(std::string name) : name(std::move(name)) {}

GameObject::~GameObject() {
    // What hangs on something else goes first (joints and fixtures belong to
    // the body, which goes with `components`), while the object is whole.
    int lastOrder = 0;
    for (const auto& component : components) {
        lastOrder = std::max(lastOrder, component->releaseOrder());
    }
    if (lastOrder > 0) {
        // A snapshot: letting go of a Box2D object runs the world's callbacks.
        const auto releasing = components;
        for (int order = 1; order <= lastOrder; ++order) {
            for (const auto& component : releasing) {
                if (component->releaseOrder() == order) {
                    component->onRemoved(*this);
                }
            }
        }
    }
    components.clear();
    parent.reset();
    transform.reset();
}

void GameObject::releaseComponents() {
    int lastOrder = 0;
    for (const auto& component : components) {
        lastOrder = std::max(lastOrder, component->releaseOrder());
    }
    const auto releasing = components;
    for (int order = 1; order <= lastOrder; ++order) {
        for (const auto& component : releasing) {
            if (component->releaseOrder() == order) {
                component->onRemoved(*this);
            }
        }
    }
    // Then the rest, the rigid body among them. Each lets go only once.
    for (const auto& component : releasing) {
        if (component->releaseOrder() == 0) {
            component->onRemoved(*this);
        }
        // Held elsewhere, it must not be drawn nor heard from.
        component->gameObjectActive = false;
    }
}

bool GameObject::isActiveInHierarchy() const {
    if (!active || destroyed) {
        return false;
    }
    auto owner = parent.lock();
    return !owner || owner->isActiveInHierarchy();
}

void GameObject::setActive(bool value) {
    active = value;
    for (auto& component : components) {
        component->gameObjectActive = value;
    }
}

bool GameObject::hasComponent(const std::shared_ptr<Component>& component) const {
    return std::find(components.begin(), components.end(), component) != components.end();
}

void GameObject::removeComponent(const std::shared_ptr<Component>& component) {
    auto found = std::find(components.begin(), components.end(), component);
    if (found == components.end()) {
        return;
    }
    if (calling > 0) {
        parked.push_back(*found);
    }
    components.erase(found);
    componentsChanged();
    component->onRemoved(*this);
    component->gameObject.reset();
    component->ownerAddress = nullptr;
}

void GameObject::addTag(const std::string& tag) {
    if (!hasTag(tag)) {
        tags.push_back(tag);
    }
}

bool GameObject::hasTag(const std::string& tag) const {
    return std::find(tags.begin(), tags.end(), tag) != tags.end();
}

void GameObject::removeTag(const std::string& tag) {
    tags.erase(std::remove(tags.begin(), tags.end(), tag), tags.end());
}

void GameObject::update(float delta, float time) {
    if (!isActiveInHierarchy()) {
        return;
    }
    // Index walk: a component may add another component to its own object.
    for (size_t i = 0; i < components.size(); ++i) {
        auto component = components[i];
        if (component->isEnabled()) {
            component->update(delta, time);
        }
    }
}

void GameObject::fixedUpdate(float step, float time) {
    if (!isActiveInHierarchy()) {
        return;
    }
    // Plain pointers: a component removed meanwhile (even by itself) is
    // parked until the walk ends. No reference count is touched per
    // component, which adds up over the hundreds of objects of a scene.
    ++calling;
    fixedStepView();
    const unsigned changesBefore = componentChanges;
    const size_t countBefore = components.size();
    // Indexed: a call may rebuild the view.
    for (size_t k = 0; k < fixedView.updaters.size(); ++k) {
        const auto [index, component] = fixedView.updaters[k];
        if (component->isEnabled()) {
            component->fixedUpdate(step, time);
        }
        if (componentChanges != changesBefore || components.size() != countBefore) {
            // Go on as a walk over the changed list by index would.
            fixedUpdateFrom(index + 1, step, time);
            break;
        }
    }
    endCalls();
    stayPass(collisions, &Component::onCollisionStay, &Component::hearsCollisionStay, false);
    stayPass(triggers, &Component::onTriggerStay, &Component::hearsTriggerStay, true);
}

void GameObject::fixedUpdateFrom(size_t first, float step, float time) {
    for (size_t i = first; i < components.size(); ++i) {
        Component* component = components[i].get();
        if (component->hasFixedUpdate && component->isEnabled()) {
            component->fixedUpdate(step, time);
        }
    }
}

const GameObject::FixedStepView& GameObject::fixedStepView() {
    if (fixedView.built && fixedView.builtFor == componentChanges &&
        fixedView.componentCount == components.size()) {
        return fixedView;
    }
    fixedView.updaters.clear();
    fixedView.collisionStay = false;
    fixedView.triggerStay = false;
    for (size_t i = 0; i < components.size(); ++i) {
        Component* component = components[i].get();
        if (component->hasFixedUpdate) {
            fixedView.updaters.emplace_back(i, component);
        }
        fixedView.collisionStay = fixedView.collisionStay || component->hearsCollisionStay;
        fixedView.triggerStay = fixedView.triggerStay || component->hearsTriggerStay;
    }
    fixedView.built = true;
    fixedView.builtFor = componentChanges;
    fixedView.componentCount = components.size();
    return fixedView;
}

void GameObject::stayPass(std::vector<Touching>& touching, ContactCall stay, bool Component::*hears,
                          bool triggerList) {
    if (touching.empty()) {
        return;
    }
    // Most objects have no component that takes stay calls; their pass only
    // looks for partners that went away.
    const bool anyReceiver = triggerList ? fixedStepView().triggerStay : fixedStepView().collisionStay;
    std::vector<std::shared_ptr<GameObject>> inactive;
    for (size_t i = 0; i < touching.size();) {
        if (touching[i].object.expired()) {
            // Freed objects leave silently; only inactive ones get an exit call.
            touching.erase(touching.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        if (touching[i].address->isActiveInHierarchy()) {
            if (anyReceiver) {
                // Held for the calls: a handler may drop every other reference.
                notifyAll(stay, touching[i].object.lock(), hears);
            }
        } else {
            inactive.push_back(touching[i].object.lock());
        }
        ++i;
    }
    for (auto& other : inactive) {
        if (triggerList) {
            onTriggerExit(other);
        } else {
            onCollisionExit(other);
        }
    }
}

void GameObject::notifyAll(ContactCall call, const std::shared_ptr<GameObject>& other,
                           bool Component::*only) {
    // A snapshot of plain pointers: a handler may add or remove components of
    // this object, and removed ones are parked (kept alive) until the
    // outermost call ends. Objects rarely have more components than fit on
    // the stack; contacts are frequent enough that a heap copy per call shows.
    constexpr size_t onStack = 16;
    Component* local[onStack];
    std::vector<Component*> spilled;
    Component** receivers = local;
    if (components.size() > onStack) {
        spilled.resize(components.size());
        receivers = spilled.data();
    }
    size_t count = 0;
    for (const auto& component : components) {
        if ((*component).*only) {
            receivers[count++] = component.get();
        }
    }
    if (count == 0) {
        return;
    }
    ++calling;
    for (size_t i = 0; i < count; ++i) {
        (receivers[i]->*call)(other);
    }
    endCalls();
}

void GameObject::endCalls() {
    if (--calling == 0 && !parked.empty()) {
        // Moved out first: a component's destructor may reach this object.
        auto released = std::move(parked);
        parked.clear();
    }
}

void GameObject::eraseFirst(std::vector<Touching>& list, const std::shared_ptr<GameObject>& other) {
    for (auto it = list.begin(); it != list.end(); ++it) {
        // An expired entry never matches, whatever now lives at its address.
        if (it->address == other.get() && !it->object.expired()) {
            list.erase(it);
            return;
        }
    }
}

void GameObject::onCollisionEnter(const std::shared_ptr<GameObject>& other) {
    notifyAll(&Component::onCollisionEnter, other, &Component::hearsCollisions);
    collisions.push_back({other, other.get()});
}

void GameObject::onCollisionExit(const std::shared_ptr<GameObject>& other) {
    notifyAll(&Component::onCollisionExit, other, &Component::hearsCollisions);
    eraseFirst(collisions, other);
}

void GameObject::onTriggerEnter(const std::shared_ptr<GameObject>& other) {
    notifyAll(&Component::onTriggerEnter, other, &Component::hearsTriggers);
    triggers.push_back({other, other.get()});
}

void GameObject::onTriggerExit(const std::shared_ptr<GameObject>& other) {
    notifyAll(&Component::onTriggerExit, other, &Component::hearsTriggers);
    eraseFirst(triggers, other);
}
