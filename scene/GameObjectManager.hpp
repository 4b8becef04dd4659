#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "scene/GameObject.hpp"

// A property map describes one component instance of a map object: "" holds
// the component type, keys beginning with '#' are added by the map loader.
using PropertyMap = std::map<std::string, std::string>;
// Builds a component on the object from its settings and returns it, or empty.
using ComponentCreator = std::shared_ptr<Component> (*)(std::shared_ptr<GameObject>, PropertyMap);

// Owns every game object of the program. Objects made while a game state is
// current belong to the scene and go at the next state switch; objects made
// during start-up are persistent. Additions and destructions take effect at
// the end of `update`, never in the middle of a walk over the lists.
class GameObjectManager {
public:
    static GameObjectManager& instance();
    // Back to the just-constructed manager: every object (listed, pending or
    // persistent) is released and every creator forgotten. Objects still held
    // elsewhere live on, unlisted.
    void reset();

    std::shared_ptr<GameObject> createGameObject(const std::string& name);
    // Marks the object destroyed at once; it leaves its list at the next
    // `update`, letting go of its bodies then (GameObject::releaseComponents).
    void destroyGameObject(const std::shared_ptr<GameObject>& object);
    // The first listed object of that name (scene before persistent) that is
    // active in its hierarchy, or any such object with includeInactive.
    std::shared_ptr<GameObject> findGameObject(const std::string& name, bool includeInactive = false) const;
    void clear(bool includePersistent);
    // Updates every listed object, then applies pending additions and destructions.
    void update(float delta, float time);
    // The fixed update of every listed object, the scene's then the persistent
    // ones. Not reentrant. A step that clears the lists (a state switch)
    // ends the walk; the object stepping then lives until its step returns.
    void fixedUpdate(float step, float time);
    // Lists every pending object at once (used by map instantiation).
    void flushPendingAdditions();

    // Keys are lowercased; the first registration of a key wins.
    void registerCreator(const std::string& key, ComponentCreator creator);
    // Empty, without a message, when no creator has the (lowercased) type.
    std::shared_ptr<Component>
    createComponent(const std::string& type, std::shared_ptr<GameObject> gameObject, PropertyMap properties);

    std::vector<std::shared_ptr<GameObject>> sceneObjects;
    std::vector<std::shared_ptr<GameObject>> persistentObjects;
    // Calls `visit` with every held object: the scene's, then the persistent ones.
    template <class Visit> void forEachObject(Visit&& visit) const {
        for (const auto* list : {&sceneObjects, &persistentObjects}) {
            for (const auto& object : *list) {
                visit(object);
            }
        }
    }
    // An object created since the last flush, and whether a game state was
    // current at its creation (it then joins the scene list).
    struct PendingAddition {
        std::shared_ptr<GameObject> object;
        bool forScene = false;
    };
    // In creation order, so objects are listed (and updated and found) in the
    // same order on every run. Each object appears once: only
    // createGameObject appends, once per new object.
    std::vector<PendingAddition> pendingAdditions;
    std::vector<std::shared_ptr<GameObject>> pendingDestructions;
    std::map<std::string, ComponentCreator> creators;
    // The serial of the newest object; the next one made gets one more.
    uint32_t lastSerial = 0;

private:
    GameObjectManager();
    // Lets every object of `released` but the stepping one go of its bodies.
    void releaseAll(const std::vector<std::shared_ptr<GameObject>>& released);
    // Holds the object whose fixed step runs, if `released` lists it.
    void keepStepping(const std::vector<std::shared_ptr<GameObject>>& released);

    // The object whose fixed step runs now, not held: taking a reference per
    // object per step would cost more than the rest of most objects' steps.
    GameObject* stepping = nullptr;
    // Set by `clear` or `reset` under a fixed step: the stepping object, until its step returns.
    std::shared_ptr<GameObject> keptWhileStepping;
};

// The low-level attach step: false when either is empty or the component is
// already on the object; otherwise appends it, sets its owner and runs `init`.
bool addComponent(const std::shared_ptr<GameObject>& gameObject, const std::shared_ptr<Component>& component);

// Attaches a freshly built component with every registration its kind needs
// (rigid body, renderable, event listener). Empty when refused.
bool attachNewComponent(const std::shared_ptr<GameObject>& gameObject,
                        const std::shared_ptr<Component>& component);

// The one way components are made: builds a T and attaches it.
template <class T, class... Args>
std::shared_ptr<T> addComponent(const std::shared_ptr<GameObject>& gameObject, Args&&... args) {
    if (!gameObject) {
        return nullptr;
    }
    auto component = std::make_shared<T>(std::forward<Args>(args)...);
    noteOwnOperations<T>(*component);
    if (!attachNewComponent(gameObject, component)) {
        return nullptr;
    }
    return component;
}

std::string toLower(std::string text);
