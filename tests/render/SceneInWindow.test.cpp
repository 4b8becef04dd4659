// Builds a small scene in code (layers, sprites, a polygon, particles, an
// animated sprite, a main camera), runs it through the real frame loop in a
// real window and checks what reached the window. The picture is saved as
// build/test-output/scene-in-window.png for a human to look at.
#include <cstdlib>

#include <gtest/gtest.h>

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RectangleShape.hpp>

#include "app/Game.hpp"
#include "common/PrivateDisplay.hpp"
#include "common/TestOutput.hpp"
#include "core/RandomSource.hpp"
#include "render/CameraComponent.hpp"
#include "render/ParticleSystemComponent.hpp"
#include "render/PolygonRendererComponent.hpp"
#include "render/RenderManager.hpp"
#include "render/SpriteAnimatorComponent.hpp"
#include "render/SpriteRendererComponent.hpp"
#include "scene/GameObjectManager.hpp"

namespace {
std::shared_ptr<sf::Texture> solidTexture(const sf::Color& color, unsigned size = 16) {
    sf::Image image;
    image.create(size, size, color);
    auto texture = std::make_shared<sf::Texture>();
    EXPECT_TRUE(texture->loadFromImage(image));
    return texture;
}

// Camera at the origin showing 960 x 540 world pixels: the window shows the
// world at twice its size, with world (0, 0) at the window's centre.
class SceneGame : public Game {
public:
    void onInit() override {
        auto& render = RenderManager::instance();
        auto back = render.addLayer("Back");
        auto players = render.addLayer("Players");
        auto front = render.addLayer("Front");
        auto& objects = GameObjectManager::instance();

        auto cameraObject = objects.createGameObject("Camera");
        cameraObject->transform->setScale(0.5f, 0.5f);
        render.setMainCamera(addComponent<CameraComponent>(cameraObject, 1920, 1080, 0, 0));

        // A dark backdrop on the back layer, and a layerless polygon reaching
        // under its edge, which must lie beneath it despite its depth.
        auto backdrop = objects.createGameObject("Backdrop");
        backdrop->transform->setPosition(-150, 0);
        backdrop->transform->setScale(20, 30);
        addComponent<SpriteRendererComponent>(backdrop, sprite(sf::Color(30, 30, 80)))->setLayer(back);

        sf::VertexArray triangle(sf::Triangles, 3);
        triangle[0] = sf::Vertex({-60, -60}, sf::Color::Green);
        triangle[1] = sf::Vertex({60, -60}, sf::Color::Green);
        triangle[2] = sf::Vertex({0, 60}, sf::Color::Green);
        auto polygon = objects.createGameObject("Polygon");
        polygon->transform->setPosition(30, 0);
        addComponent<PolygonRendererComponent>(polygon, triangle, 100);

        // Two overlapping squares on one layer: the lower one is drawn on top.
        auto red = objects.createGameObject("Red");
        red->transform->setPosition(-100, -10);
        red->transform->setScale(3, 3);
        addComponent<SpriteRendererComponent>(red, sprite(sf::Color::Red))->setLayer(players);
        auto blue = objects.createGameObject("Blue");
        blue->transform->setPosition(-80, 10);
        blue->transform->setScale(3, 3);
        addComponent<SpriteRendererComponent>(blue, sprite(sf::Color::Blue))->setLayer(players);

        // An animated square cycling through three colours, a frame each 0.1 s.
        auto animated = objects.createGameObject("Animated");
        animated->transform->setPosition(0, -150);
        animated->transform->setScale(4, 4);
        addComponent<SpriteRendererComponent>(animated, sprite(sf::Color::Yellow))->setLayer(players);
        auto animator = addComponent<SpriteAnimatorComponent>(animated);
        animator->setAnimation({{sprite(sf::Color::Yellow), 0.1f},
                                {sprite(sf::Color::Magenta), 0.1f},
                                {sprite(sf::Color::Cyan), 0.1f}});

        // A fountain of white particles on the front layer.
        auto fountain = objects.createGameObject("Fountain");
        fountain->transform->setPosition(0, 150);
        particles = addComponent<ParticleSystemComponent>(fountain, 0, front);
        particles->sprite.setTexture(*texture(sf::Color::White, 4), true);
        particles->sprite.setOrigin(2, 2);
        particles->emissionPeriod = 0.02f;
        particles->speedMin = 40;
        particles->speedMax = 120;
        particles->angleMin = 3.14159f;
        particles->angleMax = 2 * 3.14159f;
        particles->acceleration = {0, 60};
        particles->lifetimeMin = 1.0f;
        particles->lifetimeMax = 2.0f;
    }

    // Marks the overlay over the backdrop; it must end up above everything.
    void onDraw(float, float, sf::RenderTarget&) override {
        sf::RectangleShape mark({40, 40});
        mark.setFillColor(sf::Color(255, 128, 0));
        mark.setPosition(-300, -200);
        RenderManager::instance().overlayTexture.draw(mark);
    }

    std::shared_ptr<sf::Texture> texture(const sf::Color& color, unsigned size = 16) {
        textures.push_back(solidTexture(color, size));
        return textures.back();
    }
    std::shared_ptr<sf::Sprite> sprite(const sf::Color& color) {
        return std::make_shared<sf::Sprite>(*texture(color));
    }

    std::vector<std::shared_ptr<sf::Texture>> textures;
    std::shared_ptr<ParticleSystemComponent> particles;
};

sf::Vector2u toWindow(float worldX, float worldY) {
    return {static_cast<unsigned>(960 + worldX * 2), static_cast<unsigned>(540 + worldY * 2)};
}
} // namespace

TEST(SceneInWindow, DrawsLayersDepthHeightParticlesAnimationAndOverlay) {
    // The case reads the screen's pixels, which another suite's window on a
    // shared display may cover: it runs in a process of its own
    // (tests/CMakeLists.txt) on an X server of its own.
    const PrivateDisplay display;
    ASSERT_TRUE(display.isRunning()) << display.getProblem();
    RandomSource::instance().seed(3);
    SceneGame game;
    // Not the game's own title: the end-to-end test looks for that one.
    game.title = "Scene test";
    ASSERT_TRUE(game.init());
    // Without a window manager the window may be placed partly off the screen.
    game.window.setPosition({0, 0});
    FrameTimes times;
    for (int frame = 0; frame < 25; ++frame) {
        game.runFrame(times, [] { return 0.1f; });
    }
    // Other suites open windows on the same display; come to the top and
    // draw once more, since covered parts of a window keep no picture.
    game.runFrame(times, [] { return 0.1f; });
    // What the X server shows, not what the program believes it drew.
    const std::string shot = testOutputPath("scene-in-window.png");
    ASSERT_EQ(std::system(("import -window root " + shot).c_str()), 0);
    sf::Image image;
    ASSERT_TRUE(image.loadFromFile(shot));
    ASSERT_EQ(image.getSize(), sf::Vector2u(1920, 1080));

    auto at = [&](float x, float y) {
        const sf::Vector2u p = toWindow(x, y);
        return image.getPixel(p.x, p.y);
    };
    EXPECT_EQ(at(-105, -15), sf::Color::Red);
    EXPECT_EQ(at(-90, 0), sf::Color::Blue);            // lower square over the upper one
    EXPECT_EQ(at(-150, 100), sf::Color(30, 30, 80));   // backdrop
    EXPECT_EQ(at(50, -40), sf::Color::Green);          // layerless polygon...
    EXPECT_EQ(at(-20, -40), sf::Color(30, 30, 80));    // ...beneath the layered backdrop
    EXPECT_EQ(at(-290, -190), sf::Color(255, 128, 0)); // overlay above the world
    EXPECT_GT(game.particles->particleCount, 30);
    const sf::Color animated = at(0, -150);
    EXPECT_TRUE(animated == sf::Color::Yellow || animated == sf::Color::Magenta ||
                animated == sf::Color::Cyan);
    game.shutdown();
    game.window.close();
}
