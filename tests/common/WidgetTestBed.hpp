#pragma once

#include <memory>
#include <string>

#include <gtest/gtest.h>

#include <SFML/Graphics/RenderTexture.hpp>

#include "common/KeyEvents.hpp"
#include "common/MouseEvents.hpp"
#include "widgets/FormLoader.hpp"
#include "widgets/Gui.hpp"

// A GUI on an 800 x 600 render texture, for stories that drive widgets with
// real window events and look at what is drawn.
class WidgetTestBed : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(target.create(800, 600)) << "no render texture";
        gui.setTarget(target);
    }

    // Loads the form text into the GUI's root (textures relative to `directory`).
    void load(const std::string& form, const std::string& directory = "") {
        widgets::loadFormText(*gui.getRoot(), form, "test.txt", directory);
    }

    template <class WidgetType> std::shared_ptr<WidgetType> get(const std::string& name) const {
        return gui.getRoot()->get<WidgetType>(name);
    }

    // A left click (move, press, release) at the point.
    void click(int x, int y) {
        gui.handleEvent(mouse::moved(x, y));
        gui.handleEvent(mouse::pressed(x, y));
        gui.handleEvent(mouse::released(x, y));
    }

    // Each character of the (ASCII) text, typed.
    void type(const std::string& text) {
        for (const char c : text) {
            gui.handleEvent(keys::typed(static_cast<unsigned char>(c)));
        }
    }

    void key(sf::Keyboard::Key code, bool control = false, bool shift = false) {
        gui.handleEvent(keys::pressed(code, control, shift));
    }

    // Draws the GUI over a black target and reads it back.
    sf::Image render() {
        target.clear(sf::Color::Black);
        gui.draw();
        target.display();
        return target.getTexture().copyToImage();
    }

    sf::RenderTexture target;
    widgets::Gui gui;
};
