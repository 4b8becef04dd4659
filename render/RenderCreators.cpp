#include "render/RenderCreators.hpp"

#include <cmath>
#include <stdexcept>

#include "render/CameraComponent.hpp"
#include "render/RenderManager.hpp"
#include "render/SpriteRendererComponent.hpp"
#include "render/StageCameraControllerComponent.hpp"

namespace {
// A setting given under its position number wins over the same setting given by name.
const std::string* findSetting(const PropertyMap& properties, const char* position, const char* name) {
    auto found = properties.find(position);
    if (found == properties.end()) {
        found = properties.find(name);
    }
    return found != properties.end() ? &found->second : nullptr;
}

std::string textSetting(const PropertyMap& properties, const char* position, const char* name,
                        const std::string& fallback) {
    const std::string* value = findSetting(properties, position, name);
    return value ? *value : fallback;
}

// std::stof, refusing what it reads as infinite or not a number: no size can
// be either, and the message is the one the physics creators give.
float finiteNumber(const std::string& text) {
    const float value = std::stof(text);
    if (!std::isfinite(value)) {
        throw std::invalid_argument("not a finite number: " + text);
    }
    return value;
}

sf::Vector2f scaleForMode(const std::string& mode, float sx, float sy) {
    if (mode == "width") {
        return {sx, sx};
    }
    if (mode == "height") {
        return {sy, sy};
    }
    if (mode == "min") {
        const float m = sx <= sy ? sx : sy;
        return {m, m};
    }
    if (mode == "max") {
        const float m = sy <= sx ? sx : sy;
        return {m, m};
    }
    return {sx, sy};
}

// "auto", an empty value and a missing one take the map object's own size.
int32_t cameraExtent(const PropertyMap& properties, const char* position, const char* name,
                     const char* objectKey) {
    const std::string* value = findSetting(properties, position, name);
    if (!value || value->empty() || *value == "auto") {
        const std::string& text = properties.at(objectKey);
        const float size = finiteNumber(text);
        // Converting a float outside int32's range is undefined; refuse it first.
        if (!(size > -2147483648.0f && size < 2147483648.0f)) {
            throw std::out_of_range("out of range for a size in pixels: " + text);
        }
        return static_cast<int32_t>(size);
    }
    return std::stoi(*value);
}
} // namespace

std::shared_ptr<Component> createSpriteRenderer(std::shared_ptr<GameObject> gameObject,
                                                PropertyMap properties) {
    const std::string path = textSetting(properties, "0", "path", "");
    const std::string* depthText = findSetting(properties, "1", "depth");
    const int32_t depth = depthText ? std::stoi(*depthText) : 0;
    const std::string& directory = properties.at("#directory");
    const float objectWidth = finiteNumber(properties.at("#width"));
    const float objectHeight = finiteNumber(properties.at("#height"));
    const std::string mode = textSetting(properties, "2", "scale", "min");
    const std::string& layerName = properties.at("#layer");

    auto renderer = addComponent<SpriteRendererComponent>(gameObject, directory + path, depth);
    if (!renderer) {
        return nullptr;
    }
    // Without a picture (reported by the asset manager) there is no size to
    // scale by; an empty rectangle would give an infinite scale.
    if (renderer->sprite) {
        const sf::IntRect rectangle = renderer->sprite->getTextureRect();
        if (rectangle.width != 0 && rectangle.height != 0) {
            const float sx = objectWidth / static_cast<float>(rectangle.width);
            const float sy = objectHeight / static_cast<float>(rectangle.height);
            gameObject->transform->setScale(scaleForMode(mode, sx, sy));
        }
    }
    if (auto layer = RenderManager::instance().findLayerForRenderer(layerName)) {
        renderer->setLayer(layer);
    }
    return renderer;
}

std::shared_ptr<Component> createCamera(std::shared_ptr<GameObject> gameObject, PropertyMap properties) {
    const int32_t width = cameraExtent(properties, "0", "width", "#width");
    const int32_t height = cameraExtent(properties, "1", "height", "#height");
    const bool main = findSetting(properties, "2", "main") != nullptr;
    // The camera only shows: its easing is no part of the match's state.
    gameObject->simulated = false;
    auto camera = addComponent<CameraComponent>(gameObject, width, height, 0, 0);
    if (camera && main) {
        RenderManager::instance().setMainCamera(camera);
    }
    return camera;
}

std::shared_ptr<Component> createStageCameraController(std::shared_ptr<GameObject> gameObject,
                                                       PropertyMap properties) {
    const std::string player1 = textSetting(properties, "0", "player1", "");
    const std::string player2 = textSetting(properties, "1", "player2", "");
    const std::string* widthText = findSetting(properties, "2", "width");
    const std::string* heightText = findSetting(properties, "3", "height");
    const float width = widthText ? finiteNumber(*widthText) : 0.0f;
    const float height = heightText ? finiteNumber(*heightText) : 0.0f;
    const std::string* boundXText = findSetting(properties, "4", "boundx");
    const std::string* boundYText = findSetting(properties, "5", "boundy");
    const float boundX = boundXText ? finiteNumber(*boundXText) : 0.0f;
    const float boundY = boundYText ? finiteNumber(*boundYText) : 0.0f;
    gameObject->simulated = false;
    auto controller =
        addComponent<StageCameraControllerComponent>(gameObject, player1, player2, width, height);
    if (controller) {
        controller->boundX = boundX;
        controller->boundY = boundY;
    }
    return controller;
}
