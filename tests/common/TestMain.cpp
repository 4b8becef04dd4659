#include <gtest/gtest.h>

#include "app/Engine.hpp"

// The engine's modules are connected as a Game connects them, so cases that
// drive the managers without a Game see the same engine.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    connectEngine();
    return RUN_ALL_TESTS();
}
