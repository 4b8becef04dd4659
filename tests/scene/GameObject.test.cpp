#include <numeric>
#include <vector>

#include <gtest/gtest.h>

#include "common/MapFixtures.hpp"
#include "core/StateManager.hpp"
#include "scene/GameObjectManager.hpp"

namespace {
// Counts its calls and can run a hook inside its update.
class ProbeComponent : public Component {
public:
    int updates = 0, fixedUpdates = 0;
    int enters = 0, stays = 0, exits = 0;
    int triggerEnters = 0, triggerStays = 0, triggerExits = 0;
    std::function<void()> duringUpdate;
    void update(float, float) override {
        ++updates;
        if (duringUpdate) {
            duringUpdate();
        }
    }
    void fixedUpdate(float, float) override { ++fixedUpdates; }
    void onCollisionEnter(std::shared_ptr<GameObject>) override { ++enters; }
    void onCollisionStay(std::shared_ptr<GameObject>) override { ++stays; }
    void onCollisionExit(std::shared_ptr<GameObject>) override { ++exits; }
    void onTriggerEnter(std::shared_ptr<GameObject>) override { ++triggerEnters; }
    void onTriggerStay(std::shared_ptr<GameObject>) override { ++triggerStays; }
    void onTriggerExit(std::shared_ptr<GameObject>) override { ++triggerExits; }
};

// Takes stay calls only through what it inherits from ProbeComponent.
class InheritingProbe : public ProbeComponent {};

// Has a fixed step of its own and nothing else.
class StepCounter : public Component {
public:
    int steps = 0;
    void fixedUpdate(float, float) override { ++steps; }
};

class EmptyState : public GameState {
public:
    EmptyState() : GameState("Play") {}
    void enter() override {}
    void update(float, float) override {}
    void draw(float, float, sf::RenderTarget&) override {}
    void exit() override {}
};

class GameObjects : public ::testing::Test {
protected:
    std::shared_ptr<GameObject> listed(const std::string& name) {
        auto object = objects.createGameObject(name);
        objects.update(0.0f, 0.0f);
        return object;
    }
    GameObjectManager& objects = GameObjectManager::instance();
};
} // namespace

// Each case of this suite expects a GameObjectManager with no objects listed or pending: the test main resets
// the engine before every case.
TEST_F(GameObjects, NewObjectHasItsTransformFirstAndIsPendingUntilNextUpdate) {
    auto object = objects.createGameObject("crate");
    ASSERT_EQ(object->components.size(), 1u);
    EXPECT_EQ(object->components[0], object->transform);
    EXPECT_FALSE(objects.findGameObject("crate"));
    objects.update(0.0f, 0.0f);
    EXPECT_EQ(objects.findGameObject("crate"), object);
    EXPECT_TRUE(object->persistent) << "made while no state was current";
}

TEST_F(GameObjects, ObjectCreatedDuringUpdatePassIsNotUpdatedInThatPass) {
    auto maker = listed("maker");
    auto probe = addComponent<ProbeComponent>(maker);
    std::shared_ptr<ProbeComponent> childProbe;
    probe->duringUpdate = [&] {
        if (!childProbe) {
            childProbe = addComponent<ProbeComponent>(objects.createGameObject("made"));
        }
    };
    objects.update(0.0f, 0.0f);
    EXPECT_EQ(childProbe->updates, 0);
    EXPECT_TRUE(objects.findGameObject("made"));
    objects.update(0.0f, 0.0f);
    EXPECT_EQ(childProbe->updates, 1);
}

TEST_F(GameObjects, ObjectsMadeWhileAStateIsCurrentJoinTheScene) {
    StateManager::instance().registerState(std::make_shared<EmptyState>());
    StateManager::instance().setState("Play");
    auto object = listed("actor");
    EXPECT_FALSE(object->persistent);
    EXPECT_EQ(objects.sceneObjects.size(), 1u);
    StateManager::instance().exitCurrent();
}

TEST_F(GameObjects, DestroyDeactivatesAtOnceAndUnlistsAtNextUpdate) {
    auto parent = listed("parent");
    auto child = listed("child");
    child->parent = parent;
    auto probe = addComponent<ProbeComponent>(child);
    objects.destroyGameObject(parent);
    EXPECT_FALSE(parent->isActiveInHierarchy());
    EXPECT_FALSE(child->isActiveInHierarchy());
    EXPECT_EQ(objects.persistentObjects.size(), 2u);
    objects.update(0.0f, 0.0f);
    EXPECT_EQ(probe->updates, 0);
    EXPECT_EQ(objects.persistentObjects.size(), 1u);
    EXPECT_FALSE(objects.findGameObject("parent", true));
    objects.destroyGameObject(nullptr);
}

TEST_F(GameObjects, InactiveParentStopsChildUpdatesButNotTheirEnabledFlag) {
    auto parent = listed("parent");
    auto child = listed("child");
    child->parent = parent;
    auto probe = addComponent<ProbeComponent>(child);
    parent->setActive(false);
    objects.update(0.0f, 0.0f);
    EXPECT_EQ(probe->updates, 0);
    EXPECT_TRUE(probe->isEnabled());
    EXPECT_FALSE(objects.findGameObject("child"));
    EXPECT_EQ(objects.findGameObject("child", true), child);
}

TEST_F(GameObjects, ComponentAddedToInactiveObjectStartsInactiveButTransformStaysActive) {
    auto object = objects.createGameObject("off");
    object->setActive(false);
    auto probe = addComponent<ProbeComponent>(object);
    EXPECT_FALSE(probe->gameObjectActive);
    EXPECT_FALSE(probe->isEnabled());
    EXPECT_FALSE(object->transform->gameObjectActive) << "setActive writes every component";
    auto other = objects.createGameObject("parentless");
    auto childOfInactive = objects.createGameObject("child");
    childOfInactive->parent = object;
    auto transformLike = addComponent<TransformComponent>(childOfInactive);
    EXPECT_TRUE(transformLike->gameObjectActive);
}

TEST_F(GameObjects, AttachRulesRefuseEmptyObjectsAndDoubleAttachment) {
    EXPECT_FALSE(addComponent<ProbeComponent>(std::shared_ptr<GameObject>()));
    auto object = objects.createGameObject("x");
    auto probe = addComponent<ProbeComponent>(object);
    EXPECT_FALSE(addComponent(object, std::shared_ptr<Component>(probe)));
    EXPECT_EQ(probe->getGameObject(), object);
    object->removeComponent(probe);
    EXPECT_FALSE(object->hasComponent(probe));
    EXPECT_FALSE(probe->getGameObject());
    EXPECT_EQ(object->getComponent<ProbeComponent>(), nullptr);
}

TEST_F(GameObjects, GetComponentFindsDerivedTypesInOrder) {
    auto object = objects.createGameObject("x");
    auto first = addComponent<ProbeComponent>(object);
    auto second = addComponent<ProbeComponent>(object);
    EXPECT_EQ(object->getComponent<ProbeComponent>(), first);
    EXPECT_EQ(object->getComponents<ProbeComponent>().size(), 2u);
    EXPECT_EQ(object->getComponents<Component>().size(), 3u);
    EXPECT_EQ(object->getComponent<Component>(), object->transform);
}

TEST_F(GameObjects, TagsHaveNoDuplicatesAndCompareExactly) {
    auto object = objects.createGameObject("x");
    object->addTag("Platform");
    object->addTag("Platform");
    EXPECT_EQ(object->tags.size(), 1u);
    EXPECT_TRUE(object->hasTag("Platform"));
    EXPECT_FALSE(object->hasTag("platform"));
    object->removeTag("Platform");
    EXPECT_FALSE(object->hasTag("Platform"));
}

TEST_F(GameObjects, DuplicateContactEntriesStayTwiceUntilEachExit) {
    auto self = listed("self");
    auto other = listed("other");
    auto probe = addComponent<ProbeComponent>(self);
    probe->enabled = false; // contact calls ignore the enabled flag
    self->onCollisionEnter(other);
    self->onCollisionEnter(other);
    self->fixedUpdate(1.0f / 60.0f, 0.0f);
    EXPECT_EQ(probe->enters, 2);
    EXPECT_EQ(probe->stays, 2);
    self->onCollisionExit(other);
    self->fixedUpdate(1.0f / 60.0f, 0.0f);
    EXPECT_EQ(probe->stays, 3);
    self->onCollisionExit(other);
    self->fixedUpdate(1.0f / 60.0f, 0.0f);
    EXPECT_EQ(probe->stays, 3);
    EXPECT_TRUE(self->collisions.empty());
}

TEST_F(GameObjects, TouchingObjectThatTurnsInactiveGetsAnExitInTheStayPass) {
    auto self = listed("self");
    auto other = listed("other");
    auto probe = addComponent<ProbeComponent>(self);
    self->onTriggerEnter(other);
    self->onCollisionEnter(other);
    other->setActive(false);
    self->fixedUpdate(1.0f / 60.0f, 0.0f);
    EXPECT_EQ(probe->stays, 0);
    EXPECT_EQ(probe->exits, 1);
    EXPECT_EQ(probe->triggerExits, 1);
    EXPECT_TRUE(self->collisions.empty());
    EXPECT_TRUE(self->triggers.empty());
}

TEST_F(GameObjects, FreedTouchingObjectIsDroppedWithoutExit) {
    auto self = listed("self");
    auto probe = addComponent<ProbeComponent>(self);
    {
        auto other = std::make_shared<GameObject>("short-lived");
        self->onCollisionEnter(other);
    }
    self->fixedUpdate(1.0f / 60.0f, 0.0f);
    EXPECT_EQ(probe->exits, 0);
    EXPECT_TRUE(self->collisions.empty());
}

// The fixed step skips what a component's class only inherits from Component
// (most components of a scene take no stay calls), but every component whose
// class or base class has its own stay calls hears every step of a contact.
TEST_F(GameObjects, StayCallsReachEveryComponentThatTakesThemForTheWholeContact) {
    auto self = listed("self");
    auto other = listed("other");
    auto probe = addComponent<ProbeComponent>(self);
    auto inheriting = addComponent<InheritingProbe>(self);
    auto counter = addComponent<StepCounter>(self);
    // Attached without the typed creation step: called as before, whatever it is.
    auto attached = std::make_shared<ProbeComponent>();
    ASSERT_TRUE(addComponent(self, attached));
    EXPECT_FALSE(counter->hearsCollisionStay);
    EXPECT_FALSE(counter->hearsTriggerStay);
    EXPECT_FALSE(self->transform->hasFixedUpdate);

    self->onCollisionEnter(other);
    self->onTriggerEnter(other);
    constexpr int steps = 300;
    for (int i = 0; i < steps; ++i) {
        self->fixedUpdate(1.0f / 60.0f, 0.0f);
    }
    for (const auto& heard : {probe, std::shared_ptr<ProbeComponent>(inheriting), attached}) {
        EXPECT_EQ(heard->stays, steps);
        EXPECT_EQ(heard->triggerStays, steps);
        EXPECT_EQ(heard->fixedUpdates, steps);
    }
    EXPECT_EQ(counter->steps, steps);

    // Destroyed: one exit of each kind at the next step, then nothing more.
    objects.destroyGameObject(other);
    self->fixedUpdate(1.0f / 60.0f, 0.0f);
    self->fixedUpdate(1.0f / 60.0f, 0.0f);
    EXPECT_EQ(probe->stays, steps);
    EXPECT_EQ(inheriting->exits, 1);
    EXPECT_EQ(inheriting->triggerExits, 1);
    EXPECT_TRUE(self->collisions.empty());
    EXPECT_TRUE(self->triggers.empty());
}

// Reshapes its own object inside its collision calls: removes `victim`, adds
// a probe, and destroys the partner.
class ReshapingProbe : public Component {
public:
    std::weak_ptr<Component> victim;
    std::shared_ptr<ProbeComponent> added;
    int enters = 0;
    void onCollisionEnter(std::shared_ptr<GameObject> other) override {
        ++enters;
        auto object = getGameObject();
        if (auto target = victim.lock()) {
            object->removeComponent(target);
        }
        added = addComponent<ProbeComponent>(object);
        GameObjectManager::instance().destroyGameObject(other);
    }
};

// Counts into storage that outlives it.
class CountingProbe : public Component {
public:
    explicit CountingProbe(int& calls) : calls(calls) {}
    int& calls;
    void onCollisionEnter(std::shared_ptr<GameObject>) override { ++calls; }
    void onCollisionExit(std::shared_ptr<GameObject>) override { ++calls; }
};

// A contact call reaches the components listed when it began: one removed by
// an earlier handler still hears it and is freed after it, one added by a
// handler hears only later calls. Components without contact handlers of
// their own are skipped.
TEST_F(GameObjects, ContactHandlersThatReshapeTheirObjectSeeTheComponentsListedAtTheStart) {
    auto self = listed("self");
    auto other = listed("other");
    auto reshaper = addComponent<ReshapingProbe>(self);
    auto counter = addComponent<StepCounter>(self);
    int victimCalls = 0;
    std::weak_ptr<Component> victim = addComponent<CountingProbe>(self, victimCalls);
    reshaper->victim = victim;
    EXPECT_FALSE(counter->hearsCollisions);
    EXPECT_TRUE(reshaper->hearsCollisions);
    EXPECT_FALSE(reshaper->hearsTriggers);

    self->onCollisionEnter(other);
    EXPECT_EQ(reshaper->enters, 1);
    EXPECT_EQ(victimCalls, 1);
    EXPECT_TRUE(victim.expired());
    ASSERT_TRUE(reshaper->added);
    EXPECT_EQ(reshaper->added->enters, 0);
    EXPECT_TRUE(self->hasComponent(reshaper->added));
    EXPECT_TRUE(other->destroyed);

    // The destroyed partner leaves through the stay pass; the added probe hears that exit.
    auto added = reshaper->added;
    self->fixedUpdate(1.0f / 60.0f, 0.0f);
    EXPECT_EQ(added->exits, 1);
    EXPECT_EQ(victimCalls, 1);
    EXPECT_TRUE(self->collisions.empty());
}

// Takes another component of its own object off in its first fixed step.
class RemovingStepper : public Component {
public:
    std::weak_ptr<Component> target;
    int steps = 0;
    void fixedUpdate(float, float) override {
        ++steps;
        if (auto removed = target.lock()) {
            getGameObject()->removeComponent(removed);
        }
    }
};

// The fixed step calls the components listed at each step: one taken off by
// an earlier component's step is not called again, those after it still are, and components added between
// steps (a stay listener, a stepper) take part from the next step on.
TEST_F(GameObjects, FixedStepsFollowComponentsAddedAndRemovedBetweenAndDuringSteps) {
    auto self = listed("self");
    auto other = listed("other");
    auto remover = addComponent<RemovingStepper>(self);
    auto removed = addComponent<StepCounter>(self);
    auto after = addComponent<StepCounter>(self);
    self->onCollisionEnter(other);
    self->fixedUpdate(1.0f / 60.0f, 0.0f);
    EXPECT_EQ(remover->steps, 1);
    EXPECT_EQ(after->steps, 1);

    remover->target = removed;
    self->fixedUpdate(1.0f / 60.0f, 0.0f);
    EXPECT_FALSE(self->hasComponent(removed));
    EXPECT_EQ(removed->steps, 1) << "taken off before its turn";
    EXPECT_EQ(after->steps, 2) << "the component after the removed one still steps";

    auto listener = addComponent<ProbeComponent>(self);
    auto late = addComponent<StepCounter>(self);
    for (int i = 0; i < 3; ++i) {
        self->fixedUpdate(1.0f / 60.0f, 0.0f);
    }
    EXPECT_EQ(listener->stays, 3);
    EXPECT_EQ(listener->fixedUpdates, 3);
    EXPECT_EQ(late->steps, 3);
    EXPECT_EQ(after->steps, 5);
    EXPECT_EQ(remover->steps, 5);

    self->removeComponent(listener);
    self->fixedUpdate(1.0f / 60.0f, 0.0f);
    EXPECT_EQ(listener->stays, 3);
    EXPECT_EQ(listener->fixedUpdates, 3);
    EXPECT_EQ(late->steps, 4);
}

// Clears every list from its fixed step, as a state switch does, then looks at its own object.
class ClearingStepper : public Component {
public:
    bool ownerWholeAfterClear = false;
    void fixedUpdate(float, float) override {
        GameObjectManager::instance().clear(true);
        auto owner = getGameObject();
        ownerWholeAfterClear = owner && owner->hasComponent(owner->transform);
    }
};

TEST_F(GameObjects, AFixedStepThatClearsTheListsEndsTheWalkWithItsOwnObjectWhole) {
    auto first = listed("first");
    auto second = listed("second");
    auto clearer = addComponent<ClearingStepper>(first);
    auto later = addComponent<StepCounter>(second);
    const std::weak_ptr<GameObject> firstSeen = first, secondSeen = second;
    first.reset();
    second.reset();

    objects.fixedUpdate(1.0f / 60.0f, 0.0f);
    EXPECT_TRUE(clearer->ownerWholeAfterClear) << "the stepping object lives until its step returns";
    EXPECT_TRUE(firstSeen.expired()) << "and goes then";
    EXPECT_TRUE(secondSeen.expired());
    EXPECT_EQ(later->steps, 0) << "the walk ends with the lists";
    EXPECT_TRUE(objects.persistentObjects.empty());
}

TEST_F(GameObjects, FindReturnsEarliestSceneObjectBeforePersistent) {
    auto persistent = listed("twin");
    StateManager::instance().registerState(std::make_shared<EmptyState>());
    StateManager::instance().setState("Play");
    auto first = objects.createGameObject("twin");
    objects.update(0.0f, 0.0f);
    auto second = listed("twin");
    EXPECT_EQ(objects.findGameObject("twin"), first);
    first->setActive(false);
    EXPECT_EQ(objects.findGameObject("twin"), second);
    EXPECT_EQ(objects.findGameObject("twin", true), first);
    second->setActive(false);
    EXPECT_EQ(objects.findGameObject("twin"), persistent);
    StateManager::instance().exitCurrent();
}

TEST_F(GameObjects, ClearLeavesPendingAdditionsToJoinLater) {
    auto waiting = objects.createGameObject("waiting");
    objects.clear(true);
    EXPECT_FALSE(objects.findGameObject("waiting"));
    objects.update(0.0f, 0.0f);
    EXPECT_EQ(objects.findGameObject("waiting"), waiting);
}

TEST_F(GameObjects, ObjectsAreListedUpdatedAndFoundInCreationOrder) {
    // Blocks freed here are handed out again newest first, so the objects
    // made next get addresses that fall as they are created: an order by
    // address would differ from the order of creation.
    {
        std::vector<std::shared_ptr<GameObject>> spacers;
        for (int i = 0; i < 64; ++i) {
            spacers.push_back(std::make_shared<GameObject>("spacer"));
        }
    }
    std::vector<std::shared_ptr<GameObject>> made;
    std::vector<int> updateOrder;
    for (int i = 0; i < 64; ++i) {
        made.push_back(objects.createGameObject("twin"));
        auto probe = addComponent<ProbeComponent>(made.back());
        probe->duringUpdate = [&updateOrder, i] { updateOrder.push_back(i); };
    }
    objects.update(0.0f, 0.0f);
    EXPECT_TRUE(objects.persistentObjects == made) << "listed in creation order";
    EXPECT_TRUE(objects.findGameObject("twin") == made.front()) << "the first made of same-named objects";

    objects.update(0.0f, 0.0f);
    std::vector<int> creationOrder(made.size());
    std::iota(creationOrder.begin(), creationOrder.end(), 0);
    EXPECT_EQ(updateOrder, creationOrder);
}

TEST_F(GameObjects, ParentLoopsAreRefusedAndTheHierarchyStaysWalkable) {
    auto top = listed("top");
    auto middle = listed("middle");
    auto bottom = listed("bottom");
    middle->parent = top;
    bottom->parent = middle;
    top->transform->setPosition(10.0f, 0.0f);
    middle->transform->setPosition(0.0f, 5.0f);

    ReportCapture output;
    top->parent = bottom;
    top->parent = top;
    middle->parent = std::weak_ptr<GameObject>(bottom);
    EXPECT_EQ(
        output.text(),
        "Game object \"top\" cannot take \"bottom\" as its parent: that would close a loop; parent kept\n"
        "Game object \"top\" cannot take \"top\" as its parent: that would close a loop; parent kept\n"
        "Game object \"middle\" cannot take \"bottom\" as its parent: that would close a loop; parent "
        "kept\n");
    EXPECT_FALSE(top->lockParent());
    EXPECT_EQ(middle->lockParent(), top);
    EXPECT_TRUE(bottom->isActiveInHierarchy());
    EXPECT_EQ(bottom->transform->getPosition(), sf::Vector2f(10.0f, 5.0f));
    top->setActive(false);
    EXPECT_FALSE(bottom->isActiveInHierarchy());

    // Moving a branch elsewhere, or detaching it, is no loop.
    bottom->parent = top;
    EXPECT_EQ(bottom->lockParent(), top);
    middle->parent = bottom;
    EXPECT_EQ(middle->lockParent(), bottom);
    middle->parent.reset();
    EXPECT_TRUE(middle->isActiveInHierarchy());
}

TEST(ComponentRegistry, CreatorKeysAreLowercasedAndFirstRegistrationWins) {
    auto& objects = GameObjectManager::instance();
    static int built = 0;
    objects.registerCreator("Probe", [](std::shared_ptr<GameObject> object, PropertyMap properties) {
        ++built;
        EXPECT_EQ(properties.at(""), "PROBE");
        return std::shared_ptr<Component>(addComponent<ProbeComponent>(object));
    });
    objects.registerCreator("probe", [](std::shared_ptr<GameObject>, PropertyMap) {
        ADD_FAILURE() << "second registration replaced the first";
        return std::shared_ptr<Component>();
    });
    auto object = objects.createGameObject("x");
    auto component = objects.createComponent("PROBE", object, {{"", "PROBE"}});
    EXPECT_EQ(built, 1);
    EXPECT_TRUE(std::dynamic_pointer_cast<ProbeComponent>(component));
    EXPECT_FALSE(objects.createComponent("nothing", object, {}));
}
