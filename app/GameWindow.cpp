// Game's window: made to fit the desktop, remade for fullscreen and back, and
// the place of the fixed-size picture within it.
#include "app/Game.hpp"

#include <ctime>

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/Texture.hpp>

#include "app/Desktop.hpp"
#include "app/GuiManager.hpp"
#include "app/Screenshots.hpp"
#include "app/TextLine.hpp"
#include "app/WindowFit.hpp"
#include "core/Console.hpp"
#include "core/ContentRoot.hpp"
#include "core/Report.hpp"
#include "core/input/InputManager.hpp"
#include "render/RenderManager.hpp"

bool Game::openWindow(sf::Vector2u size, bool fullscreenWindow) {
    const sf::ContextSettings settings;
    if (fullscreenWindow) {
        window.create(sf::VideoMode::getDesktopMode(), title, sf::Style::Fullscreen, settings);
    } else {
        window.create(sf::VideoMode(size.x, size.y, 32), title,
                      sf::Style::Titlebar | sf::Style::Resize | sf::Style::Close, settings);
    }
    if (!window.isOpen()) {
        reportProblem("Couldn't create the %ux%u window", size.x, size.y);
        return false;
    }
    fullscreen = fullscreenWindow;
    // The keyboard is read only while the window has the focus; a new window
    // may open without it (the system gives it to another), and its focus
    // events say when that changes.
    InputManager::instance().setWindowFocused(window.hasFocus());
    // A frame drawn for the old window is not shown in the new one.
    framePending = false;
    // SFML starts every new window with its defaults: ours are put back.
    // The icon is read once, by the first window; later ones reuse it.
    if (!iconPath.empty() && icon.getSize().x == 0) {
        if (!icon.loadFromFile(contentPath(iconPath))) {
            reportProblem("Couldn't load the window icon %s", iconPath.c_str());
            iconPath.clear();
        }
    }
    if (icon.getSize().x != 0) {
        window.setIcon(icon.getSize().x, icon.getSize().y, icon.getPixelsPtr());
    }
    // Text fields repeat a held key; the game's actions poll the keyboard
    // and do not see repeats. The loop paces itself.
    window.setKeyRepeatEnabled(true);
    window.setMouseCursorVisible(true);
    window.setFramerateLimit(0);
    fitPicture();
    return true;
}

void Game::fitPicture() {
    fittedSize = window.getSize();
    pictureArea = letterbox({width, height}, fittedSize);
    RenderManager::instance().viewport = pictureArea;
    GuiManager::instance().setViewport(pictureArea);
}

sf::View Game::pictureView() const {
    sf::View view(sf::FloatRect(0.0f, 0.0f, static_cast<float>(width), static_cast<float>(height)));
    view.setViewport(pictureArea);
    return view;
}

sf::Event Game::toPicture(const sf::Event& event) const {
    const auto map = [this](int x, int y) { return window.mapPixelToCoords({x, y}, pictureView()); };
    sf::Event mapped = event;
    switch (event.type) {
    case sf::Event::MouseMoved: {
        const sf::Vector2f point = map(event.mouseMove.x, event.mouseMove.y);
        mapped.mouseMove.x = static_cast<int>(point.x);
        mapped.mouseMove.y = static_cast<int>(point.y);
        break;
    }
    case sf::Event::MouseButtonPressed:
    case sf::Event::MouseButtonReleased: {
        const sf::Vector2f point = map(event.mouseButton.x, event.mouseButton.y);
        mapped.mouseButton.x = static_cast<int>(point.x);
        mapped.mouseButton.y = static_cast<int>(point.y);
        break;
    }
    case sf::Event::MouseWheelScrolled: {
        const sf::Vector2f point = map(event.mouseWheelScroll.x, event.mouseWheelScroll.y);
        mapped.mouseWheelScroll.x = static_cast<int>(point.x);
        mapped.mouseWheelScroll.y = static_cast<int>(point.y);
        break;
    }
    default:
        break;
    }
    return mapped;
}

bool Game::toggleFullscreen() {
    const bool toFullscreen = !fullscreen;
    if (toFullscreen) {
        windowedSize = window.getSize();
        windowedPosition = window.getPosition();
    }
    if (!openWindow(windowedSize, toFullscreen)) {
        // Back to what it was, so the game goes on.
        if (!openWindow(windowedSize, !toFullscreen)) {
            return false;
        }
        reportProblem("Couldn't switch the window %s fullscreen", toFullscreen ? "to" : "from");
        return false;
    }
    if (!toFullscreen) {
        window.setPosition(windowedPosition);
    }
    return true;
}

void Game::resizeWindow(sf::Vector2u size) {
    if (fullscreen) {
        windowedSize = size;
        return;
    }
    // The window manager (if any) knows the window's frame once it is made.
    const Desktop desktop = readDesktop(window.getSystemHandle());
    const sf::Vector2u fitting = windowSizeOn(desktop, size);
    window.setSize(fitting);
    window.setPosition(windowPositionOn(desktop, fitting));
}

bool Game::captureWindow(sf::Image& picture) const {
    sf::Texture shown;
    if (!shown.create(window.getSize().x, window.getSize().y)) {
        return false;
    }
    shown.update(window);
    picture = shown.copyToImage();
    return true;
}

void Game::takeScreenshot() {
    std::string problem = "cannot read the window";
    std::string path;
    sf::Image picture;
    if (captureWindow(picture)) {
        path = saveScreenshot(picture, picturesFolder(), std::time(nullptr), problem);
    }
    if (path.empty()) {
        reportProblem("Couldn't save the screenshot: %s", problem.c_str());
        showNotice("Couldn't save the screenshot: " + problem);
        return;
    }
    Console::standardOutput().writeLines("screenshot saved to " + path);
    showNotice("Screenshot saved to " + path);
}

void Game::showNotice(const std::string& text) {
    notice = text;
    noticeSeconds = 4.0f;
}

void Game::drawNotice(float delta) {
    if (noticeSeconds <= 0.0f) {
        return;
    }
    noticeSeconds -= delta;
    window.setView(pictureView());
    // Above the viewer's bar while it is shown.
    const float foot = viewer ? ReplayViewer::barArea({width, height}).top : static_cast<float>(height);
    drawTextLine(window, notice, 26, {8.0f, foot - 66.0f});
}
