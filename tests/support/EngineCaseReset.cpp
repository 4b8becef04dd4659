#include "common/CaseReset.hpp"

#include "app/Engine.hpp"

void resetForNextCase() {
    resetEngine();
}
