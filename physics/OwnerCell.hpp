#pragma once

#include <cstdint>

// The Box2D user data of every body, fixture and joint a component made: a
// separately allocated cell naming the owning component. Whoever ends the
// Box2D object first (the component, or Box2D through the destruction
// listener) frees the cell and clears the component's pointers, so a cell
// that Box2D still points at always names a live component. A user data of 0
// marks a Box2D object no component owns.
template <class Owner> struct OwnerCell { Owner* owner = nullptr; };

// The cell stored in a Box2D user data word, or null.
template <class Owner> OwnerCell<Owner>* ownerCellFrom(uintptr_t userData) {
    return reinterpret_cast<OwnerCell<Owner>*>(userData);
}

template <class Owner> Owner* ownerFrom(uintptr_t userData) {
    auto* cell = ownerCellFrom<Owner>(userData);
    return cell ? cell->owner : nullptr;
}
