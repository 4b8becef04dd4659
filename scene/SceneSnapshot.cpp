#include "scene/SceneSnapshot.hpp"

#include <algorithm>
#include <cassert>
#include <unordered_set>

#include "scene/GameObjectManager.hpp"

namespace {
// A list's simulated objects in order. Restoring, the list becomes those,
// followed by the objects it holds now that only show.
void walkList(StateIo& io, std::vector<std::shared_ptr<GameObject>>& list) {
    std::vector<std::shared_ptr<GameObject>> saved;
    if (io.saving()) {
        for (const auto& object : list) {
            if (object->simulated) {
                saved.push_back(object);
            }
        }
    }
    uint32_t count = static_cast<uint32_t>(saved.size());
    io.value(count);
    saved.resize(count);
    for (auto& object : saved) {
        io.ref(object);
    }
    if (!io.saving()) {
        for (const auto& object : list) {
            if (!object->simulated) {
                saved.push_back(object);
            }
        }
        list = std::move(saved);
    }
}

void walkTouching(StateIo& io, std::vector<GameObject::Touching>& list) {
    uint32_t count = static_cast<uint32_t>(list.size());
    io.value(count);
    list.resize(count);
    for (auto& entry : list) {
        io.ref(entry.object);
        if (!io.saving()) {
            entry.address = entry.object.lock().get();
        }
    }
}

bool holds(const std::vector<std::shared_ptr<Component>>& list, const std::shared_ptr<Component>& component) {
    return std::find(list.begin(), list.end(), component) != list.end();
}

// Restoring: the object's components become `saved`. Those added since the
// save are taken off (letting go of their Box2D objects); those taken off
// since are put back, to be made whole by the world's restore.
void putBackComponents(GameObject& object, const std::shared_ptr<GameObject>& self,
                       std::vector<std::shared_ptr<Component>> saved,
                       std::shared_ptr<RigidBodyComponent> savedBody) {
    for (const auto& component : std::vector<std::shared_ptr<Component>>(object.components)) {
        if (!holds(saved, component)) {
            object.removeComponent(component);
        }
    }
    for (const auto& component : saved) {
        component->gameObject = self;
        component->ownerAddress = &object;
    }
    if (object.components != saved) {
        object.components = std::move(saved);
        object.componentsChanged();
    }
    object.rigidBody = std::move(savedBody);
}

// The object's own fields.
void walkObject(StateIo& io, const std::shared_ptr<GameObject>& self) {
    GameObject& object = *self;
    io.value(object.active);
    io.value(object.destroyed);
    io.value(object.persistent);
    io.texts(object.tags);
    std::weak_ptr<GameObject> parent;
    if (io.saving()) {
        parent = object.parent.lock();
    }
    io.ref(parent);
    std::vector<std::shared_ptr<Component>> components;
    if (io.saving()) {
        components = object.components;
    }
    uint32_t count = static_cast<uint32_t>(components.size());
    io.value(count);
    components.resize(count);
    for (auto& component : components) {
        io.ref(component);
    }
    // The physics' slot: its type is only declared here.
    std::shared_ptr<RigidBodyComponent> body;
    if (io.saving()) {
        body = object.rigidBody;
    }
    io.ref(body);
    walkTouching(io, object.collisions);
    walkTouching(io, object.triggers);
    if (!io.saving()) {
        object.parent = parent;
        putBackComponents(object, self, std::move(components), std::move(body));
    }
}

// The simulated objects the manager holds: its lists', then those made since their last flush.
// Each component's switches and own state, in the object's order.
void walkComponents(StateIo& io, GameObject& object) {
    for (const auto& component : object.components) {
        io.value(component->enabled);
        io.value(component->gameObjectActive);
        component->snapshotState(io);
    }
}

std::vector<std::shared_ptr<GameObject>> heldObjects(const GameObjectManager& objects) {
    std::vector<std::shared_ptr<GameObject>> held;
    objects.forEachObject([&](const std::shared_ptr<GameObject>& object) {
        if (object->simulated) {
            held.push_back(object);
        }
    });
    for (const auto& addition : objects.pendingAdditions) {
        if (addition.object->simulated) {
            held.push_back(addition.object);
        }
    }
    return held;
}

// The manager's lists; restoring, returns the objects listed before that
// the saved lists do not hold.
std::vector<std::shared_ptr<GameObject>> walkManager(StateIo& io, GameObjectManager& objects) {
    io.value(objects.lastSerial);
    auto before = io.saving() ? std::vector<std::shared_ptr<GameObject>>{} : heldObjects(objects);
    // Restoring: the additions pending now that only show stay pending.
    std::vector<GameObjectManager::PendingAddition> shown;
    walkList(io, objects.sceneObjects);
    walkList(io, objects.persistentObjects);
    std::vector<GameObjectManager::PendingAddition> additions;
    for (const auto& addition : objects.pendingAdditions) {
        if (!addition.object->simulated) {
            shown.push_back(addition);
        } else if (io.saving()) {
            additions.push_back(addition);
        }
    }
    uint32_t additionCount = static_cast<uint32_t>(additions.size());
    io.value(additionCount);
    additions.resize(additionCount);
    for (auto& addition : additions) {
        io.ref(addition.object);
        io.value(addition.forScene);
    }
    if (!io.saving()) {
        additions.insert(additions.end(), shown.begin(), shown.end());
        objects.pendingAdditions = std::move(additions);
    }
    walkList(io, objects.pendingDestructions);
    if (io.saving()) {
        return {};
    }
    std::unordered_set<const GameObject*> kept;
    for (const auto& object : heldObjects(objects)) {
        kept.insert(object.get());
    }
    before.erase(std::remove_if(before.begin(), before.end(),
                                [&](const auto& object) { return kept.count(object.get()) > 0; }),
                 before.end());
    return before;
}
} // namespace

size_t SceneSnapshot::byteSize() const {
    return objects.bytes.size() + components.bytes.size() +
           (objects.refs.size() + components.refs.size()) * sizeof(std::shared_ptr<void>);
}

void saveScene(SceneSnapshot& into) {
    into.objects.clear();
    into.components.clear();
    auto& objects = GameObjectManager::instance();
    StateIo objectIo(into.objects);
    walkManager(objectIo, objects);
    StateIo componentIo(into.components);
    into.componentStarts.clear();
    for (const auto& object : heldObjects(objects)) {
        walkObject(objectIo, object);
        into.componentStarts.emplace_back(object->serial, into.components.bytes.size());
        walkComponents(componentIo, *object);
    }
}

namespace {
void restoreObjects(const SceneSnapshot& snapshot) {
    auto& objects = GameObjectManager::instance();
    StateIo io(snapshot.objects);
    // Objects made since the save leave the world as destroyed ones do.
    for (const auto& gone : walkManager(io, objects)) {
        gone->destroyed = true;
        gone->releaseComponents();
    }
    for (const auto& object : heldObjects(objects)) {
        walkObject(io, object);
    }
    assert(io.atEnd());
}

void restoreComponents(const SceneSnapshot& snapshot) {
    StateIo io(snapshot.components);
    for (const auto& object : heldObjects(GameObjectManager::instance())) {
        walkComponents(io, *object);
    }
    assert(io.atEnd());
}
} // namespace

void restoreScene(const SceneSnapshot& snapshot) {
    restoreObjects(snapshot);
    restoreComponents(snapshot);
}

uint32_t firstDifferingObject(const SceneSnapshot& a, const SceneSnapshot& b) {
    const auto& left = a.components.bytes;
    const auto& right = b.components.bytes;
    size_t at = 0;
    while (at < left.size() && at < right.size() && left[at] == right[at]) {
        ++at;
    }
    if (at == left.size() && at == right.size()) {
        return 0;
    }
    uint32_t serial = 0;
    for (const auto& [object, start] : a.componentStarts) {
        if (start <= at) {
            serial = object;
        }
    }
    return serial;
}
