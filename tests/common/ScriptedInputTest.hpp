#pragma once

#include <memory>

#include <gtest/gtest.h>

#include "core/input/InputManager.hpp"
#include "core/input/ScriptedInputBackend.hpp"

// Starts each case with no input actions and a scripted backend on which
// nothing is down; the real devices come back afterwards.
class ScriptedInputTest : public ::testing::Test {
protected:
    void SetUp() override {
        input.actions.clear();
        input.axes.clear();
        input.setBackend(devices);
    }
    void TearDown() override { input.setBackend(nullptr); }

    InputManager& input = InputManager::instance();
    std::shared_ptr<ScriptedInputBackend> devices = std::make_shared<ScriptedInputBackend>();
};
