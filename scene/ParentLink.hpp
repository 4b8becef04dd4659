#pragma once

#include <memory>

class GameObject;

// A game object's link to its parent, used like the weak pointer it holds
// (`child->parent = group`, `parent.lock()`, `parent.reset()`). The parent is
// only observed. Assigning an object that is the child itself or lies below
// it would make a loop that every walk up the hierarchy follows forever: such
// an assignment is refused with one printed line, and the old parent stays.
class ParentLink {
public:
    explicit ParentLink(const GameObject& child) : child(child) {}
    ParentLink(const ParentLink&) = delete;

    ParentLink& operator=(const std::shared_ptr<GameObject>& parent);
    ParentLink& operator=(const std::weak_ptr<GameObject>& parent);
    ParentLink& operator=(const ParentLink& other) { return *this = other.link; }

    std::shared_ptr<GameObject> lock() const { return link.lock(); }
    bool expired() const { return link.expired(); }
    void reset() { link.reset(); }

private:
    const GameObject& child;
    std::weak_ptr<GameObject> link;
};
