#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Window/Event.hpp>

#include "widgets/Group.hpp"
#include "widgets/Gui.hpp"

// The game's pages outside the world (menus, pause pages, the victory screen):
// form files loaded into named, full-window groups that are shown and hidden
// by name. Owns the widget tree bound to the window. Names that are not held
// are tolerated: the page operations return false and change nothing.
class GuiManager {
public:
    static GuiManager& instance();
    // Back to the just-constructed manager: no pages, a fresh widget tree
    // bound to no window.
    void reset();

    // Binds the GUI to the window (observed; it must outlive the GUI's use),
    // with an area of the picture's size, however large the window is.
    void setWindow(sf::RenderWindow& window, sf::Vector2u pictureSize);
    // Loads the form file into a new hidden full-window group held under the
    // name. False, changing nothing, if the name is already held or the form
    // cannot be loaded (reported on standard error with the file and line).
    bool loadGroup(const std::string& name, const std::string& formPath);
    bool setVisible(const std::string& name, bool visible);
    // False when the name is not held.
    bool isVisible(const std::string& name) const;
    bool toggleVisible(const std::string& name);
    void hideAll();
    // Whether any page is shown.
    bool anyVisible() const;
    // The form file a held page was loaded from, with slashes (for messages
    // about what the page lacks); empty when the name is not held.
    std::string formOf(const std::string& name) const;

    // The named widget of the page, as the requested widget type
    // (widgets::Button, widgets::Slider, widgets::Picture, ...); empty when the
    // page is not held or has no such widget of that type.
    template <class WidgetType>
    std::shared_ptr<WidgetType> getWidget(const std::string& group, const std::string& widget) const {
        const auto found = groups.find(group);
        return found == groups.end() ? nullptr : found->second->get<WidgetType>(widget);
    }

    // Called by the main loop: every window event, then the drawing. Mouse
    // positions are in the picture's pixels (see Game::toPicture). The GUI's
    // area is the picture's, whatever the window's size: a resize of the
    // window is not the GUI's (setViewport places it).
    bool handleEvent(const sf::Event& event) {
        return event.type == sf::Event::Resized ? false : gui.handleEvent(event);
    }
    void setViewport(const sf::FloatRect& viewport) { gui.setViewport(viewport); }
    // Whether `eventCapture` takes the event (the main loop asks first).
    bool captures(const sf::Event& event) const { return eventCapture && eventCapture(event); }
    // Whether `padCapture` takes the pad button's press (an input code).
    bool capturesPad(int32_t code) const { return padCapture && padCapture(code); }
    // Called by the main loop once a frame with the frame delta (seconds).
    void update(float seconds) { gui.update(seconds); }
    void draw() { gui.draw(); }

    std::map<std::string, std::shared_ptr<widgets::Group>> groups;
    std::map<std::string, std::string> formFiles;
    widgets::Gui gui;
    // While set, a page waiting for a key (a control being rebound) sees
    // every window event first; an event it returns true for is taken:
    // neither the widgets nor the input actions see it.
    std::function<bool(const sf::Event&)> eventCapture;
    // The same for a pad's button pressed (its input code): pads do not come
    // as window events.
    std::function<bool(int32_t code)> padCapture;
    // Full-window; every page goes into it.
    std::shared_ptr<widgets::Group> root;

private:
    GuiManager();
};
