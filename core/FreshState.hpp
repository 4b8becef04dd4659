#pragma once

#include <utility>

// Puts a freshly constructed value in place of `object` (a singleton's reset
// passes `T()`, which only the class itself may construct). The old contents
// are destroyed last, once `object` is fresh: a destructor among them that
// reaches back into the singleton finds it empty and consistent, never half
// cleared.
template <class T> void replaceWithFresh(T& object, T fresh) {
    T old = std::move(object);
    object = std::move(fresh);
}
