#include "scene/GameObjectManager.hpp"

#include <algorithm>
#include <cctype>

#include "core/FreshState.hpp"
#include "core/StateManager.hpp"

std::string toLower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

GameObjectManager& GameObjectManager::instance() {
    static GameObjectManager manager;
    return manager;
}

GameObjectManager::GameObjectManager() = default;

void GameObjectManager::reset() {
    keepStepping(sceneObjects);
    keepStepping(persistentObjects);
    GameObject* const walking = stepping;
    auto kept = std::move(keptWhileStepping);
    replaceWithFresh(*this, GameObjectManager());
    stepping = walking;
    keptWhileStepping = std::move(kept);
}

void GameObjectManager::keepStepping(const std::vector<std::shared_ptr<GameObject>>& released) {
    if (!stepping || keptWhileStepping) {
        return;
    }
    for (const auto& object : released) {
        if (object.get() == stepping) {
            keptWhileStepping = object;
            return;
        }
    }
}

std::shared_ptr<GameObject> GameObjectManager::createGameObject(const std::string& name) {
    auto object = std::make_shared<GameObject>(name);
    object->serial = ++lastSerial;
    object->transform = addComponent<TransformComponent>(object);
    bool forScene = StateManager::instance().currentState != nullptr;
    pendingAdditions.push_back({object, forScene});
    return object;
}

void GameObjectManager::destroyGameObject(const std::shared_ptr<GameObject>& object) {
    if (!object) {
        return;
    }
    pendingDestructions.push_back(object);
    object->destroyed = true;
}

std::shared_ptr<GameObject> GameObjectManager::findGameObject(const std::string& name,
                                                              bool includeInactive) const {
    for (const auto* list : {&sceneObjects, &persistentObjects}) {
        for (const auto& object : *list) {
            if (object->name == name && (includeInactive || object->isActiveInHierarchy())) {
                return object;
            }
        }
    }
    return nullptr;
}

void GameObjectManager::clear(bool includePersistent) {
    // Move the lists out first: freeing an object may run component
    // destructors that reach back into this manager.
    auto released = std::move(sceneObjects);
    sceneObjects.clear();
    keepStepping(released);
    releaseAll(released);
    if (includePersistent) {
        auto releasedPersistent = std::move(persistentObjects);
        persistentObjects.clear();
        keepStepping(releasedPersistent);
        releaseAll(releasedPersistent);
    }
}

void GameObjectManager::releaseAll(const std::vector<std::shared_ptr<GameObject>>& released) {
    // Whoever still holds them (a match snapshot), they are out of the world
    // now, as if freed. The object whose step runs lets go when it is freed.
    for (const auto& object : released) {
        if (object.get() != stepping) {
            object->releaseComponents();
        }
    }
}

void GameObjectManager::fixedUpdate(float step, float time) {
    for (auto* list : {&sceneObjects, &persistentObjects}) {
        // By index: a step may clear the lists.
        for (size_t i = 0; i < list->size(); ++i) {
            stepping = (*list)[i].get();
            stepping->fixedUpdate(step, time);
            stepping = nullptr;
            keptWhileStepping.reset();
        }
    }
}

void GameObjectManager::update(float delta, float time) {
    // Index walks: an update may create or destroy objects, which only touches
    // the pending lists, but may also clear the lists through a state switch.
    for (size_t i = 0; i < sceneObjects.size(); ++i) {
        auto object = sceneObjects[i];
        object->update(delta, time);
    }
    for (size_t i = 0; i < persistentObjects.size(); ++i) {
        auto object = persistentObjects[i];
        object->update(delta, time);
    }
    flushPendingAdditions();
    auto destructions = std::move(pendingDestructions);
    pendingDestructions.clear();
    for (auto& object : destructions) {
        auto& list = object->persistent ? persistentObjects : sceneObjects;
        auto found = std::find(list.begin(), list.end(), object);
        if (found != list.end()) {
            list.erase(found);
            // Whoever still holds it (a snapshot of an earlier frame), it is
            // out of the world from now on, as if it were freed.
            object->releaseComponents();
        }
    }
}

void GameObjectManager::flushPendingAdditions() {
    auto additions = std::move(pendingAdditions);
    pendingAdditions.clear();
    for (auto& addition : additions) {
        addition.object->persistent = !addition.forScene;
        (addition.forScene ? sceneObjects : persistentObjects).push_back(addition.object);
    }
}

void GameObjectManager::registerCreator(const std::string& key, ComponentCreator creator) {
    creators.emplace(toLower(key), creator);
}

std::shared_ptr<Component> GameObjectManager::createComponent(const std::string& type,
                                                              std::shared_ptr<GameObject> gameObject,
                                                              PropertyMap properties) {
    auto found = creators.find(toLower(type));
    if (found == creators.end() || !found->second) {
        return nullptr;
    }
    return found->second(std::move(gameObject), std::move(properties));
}

bool addComponent(const std::shared_ptr<GameObject>& gameObject,
                  const std::shared_ptr<Component>& component) {
    if (!gameObject || !component || gameObject->hasComponent(component)) {
        return false;
    }
    gameObject->components.push_back(component);
    gameObject->componentsChanged();
    component->gameObject = gameObject;
    component->ownerAddress = gameObject.get();
    component->init();
    return true;
}
