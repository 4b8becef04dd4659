#include "app/GuiManager.hpp"

#include <algorithm>

#include "core/ContentRoot.hpp"
#include "core/FreshState.hpp"
#include "core/Report.hpp"
#include "widgets/FormError.hpp"
#include "widgets/FormLoader.hpp"

GuiManager& GuiManager::instance() {
    static GuiManager manager;
    return manager;
}

// The root exists from the start, so pages loaded before the window is
// bound are not lost.
GuiManager::GuiManager() : root(widgets::Group::create()) {
    root->setSize(widgets::Layout2d::percent(100.0f, 100.0f));
    gui.add(root, "");
}

void GuiManager::reset() {
    replaceWithFresh(*this, GuiManager());
}

void GuiManager::setWindow(sf::RenderWindow& window, sf::Vector2u pictureSize) {
    gui.setTarget(window);
    gui.setSize(sf::Vector2f(pictureSize));
}

bool GuiManager::loadGroup(const std::string& name, const std::string& formPath) {
    if (groups.count(name)) {
        return false;
    }
    auto group = widgets::Group::create();
    group->setSize(widgets::Layout2d::percent(100.0f, 100.0f));
    try {
        widgets::loadFormFile(*group, contentPath(formPath));
    } catch (const widgets::FormError& error) {
        // A broken page must not take the game down: the page stays missing,
        // and every lookup of it is empty.
        reportProblemWithDetail("Loading failed:", error.what());
        return false;
    }
    group->setVisible(false);
    // Pages shown together (the options' tabs beside one of their pages) are
    // each one part for the keyboard: the arrows keep to a page, Tab changes pages.
    group->focusSection = true;
    root->add(group, "");
    groups.emplace(name, group);
    std::string file = formPath;
    std::replace(file.begin(), file.end(), '\\', '/');
    formFiles.emplace(name, file);
    return true;
}

std::string GuiManager::formOf(const std::string& name) const {
    const auto found = formFiles.find(name);
    return found == formFiles.end() ? std::string() : found->second;
}

bool GuiManager::setVisible(const std::string& name, bool visible) {
    const auto found = groups.find(name);
    if (found == groups.end()) {
        return false;
    }
    const bool opens = visible && !found->second->isVisible();
    found->second->setVisible(visible);
    if (opens) {
        gui.focusFirstIn(*found->second);
    }
    return true;
}

bool GuiManager::isVisible(const std::string& name) const {
    const auto found = groups.find(name);
    return found != groups.end() && found->second->isVisible();
}

bool GuiManager::toggleVisible(const std::string& name) {
    return setVisible(name, !isVisible(name));
}

void GuiManager::hideAll() {
    for (auto& entry : groups) {
        entry.second->setVisible(false);
    }
}

bool GuiManager::anyVisible() const {
    return std::any_of(groups.begin(), groups.end(),
                       [](const auto& entry) { return entry.second->isVisible(); });
}
