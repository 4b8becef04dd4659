#pragma once

#include <cstdint>
#include <memory>

#include <box2d/b2_world.h>

#include "physics/OwnerCell.hpp"

// The component side of one Box2D object (body, fixture or joint) that a
// component made: the owner cell that is the object's user data, the object
// pointer and the world that holds it. Every way the object can end goes
// through here:
// - the component lets go of it (`release`, then the PhysicsManager destroys
//   it now or at the next flush);
// - Box2D destroys it with its body and the destruction listener calls the
//   component, which calls `forget`;
// - the world is replaced, which frees it without notice: `live` notices.
//
// The cell and the object pointer stay the component's own public fields (the
// rest of the engine reads them); this class is the only code that writes them.
template <class Owner, class Object> class Box2DOwnership {
public:
    Box2DOwnership(OwnerCell<Owner>*& cell, Object*& object) : cell(cell), object(object) {}
    Box2DOwnership(const Box2DOwnership&) = delete;
    Box2DOwnership& operator=(const Box2DOwnership&) = delete;

    // The object while the world that holds it exists; otherwise null, and
    // the object is forgotten.
    Object* live() {
        if (object && world.expired()) {
            forget();
        }
        return object;
    }

    // The world holding the object; empty without one.
    std::shared_ptr<b2World> home() const { return world.lock(); }

    // Makes the object through `create(userData)` in `inWorld`, with a new
    // owner cell naming `owner` as its user data. Refuses (null) while that
    // world is stepping, where Box2D would abort. The caller has let go of any
    // previous object first.
    template <class Create>
    Object* make(Owner& owner, const std::shared_ptr<b2World>& inWorld, Create&& create) {
        if (!inWorld || inWorld->IsLocked()) {
            return nullptr;
        }
        cell = new OwnerCell<Owner>{&owner};
        object = create(reinterpret_cast<uintptr_t>(cell));
        if (!object) {
            forget();
            return nullptr;
        }
        world = inWorld;
        return object;
    }

    // The object is gone: frees the cell and clears both pointers.
    void forget() {
        delete cell;
        cell = nullptr;
        object = nullptr;
        world.reset();
    }

    // Hands the live object over for destruction, or null without one. It no
    // longer names its owner (the user data is cleared, so the callbacks its
    // destruction runs and any later notice find no owner), and the component
    // holds nothing before anything else runs.
    Object* release() {
        Object* dying = live();
        if (dying) {
            dying->GetUserData().pointer = 0;
        }
        forget();
        return dying;
    }

private:
    OwnerCell<Owner>*& cell;
    Object*& object;
    std::weak_ptr<b2World> world;
};
