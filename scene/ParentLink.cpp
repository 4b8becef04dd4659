#include "scene/ParentLink.hpp"

#include "core/Report.hpp"
#include "scene/GameObject.hpp"

ParentLink& ParentLink::operator=(const std::shared_ptr<GameObject>& parent) {
    // Links are only ever made here, so the chain above `parent` has no loop
    // and this walk ends.
    for (auto above = parent; above; above = above->parent.lock()) {
        if (above.get() == &child) {
            reportProblem("Game object \"%s\" cannot take \"%s\" as its parent: that would close a loop; "
                          "parent kept",
                          child.name.c_str(), parent->name.c_str());
            return *this;
        }
    }
    link = parent;
    return *this;
}

ParentLink& ParentLink::operator=(const std::weak_ptr<GameObject>& parent) {
    return *this = parent.lock();
}
