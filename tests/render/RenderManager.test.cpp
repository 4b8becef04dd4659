#include <cmath>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include <SFML/Graphics/RenderTexture.hpp>

#include "render/PolygonRendererComponent.hpp"
#include "render/RenderManager.hpp"
#include "render/SpriteRendererComponent.hpp"
#include "scene/GameObjectManager.hpp"

namespace {
// A 16 x 16 square of one colour, centred on its object.
std::shared_ptr<sf::Sprite> squareSprite(std::shared_ptr<sf::Texture>& keep, const sf::Color& color) {
    sf::Image image;
    image.create(16, 16, color);
    keep = std::make_shared<sf::Texture>();
    if (!keep->loadFromImage(image)) {
        return nullptr;
    }
    return std::make_shared<sf::Sprite>(*keep);
}

struct ColouredSquare {
    std::shared_ptr<sf::Texture> texture;
    std::shared_ptr<GameObject> object;
    std::shared_ptr<SpriteRendererComponent> renderer;
};

ColouredSquare makeSquare(const sf::Color& color, float x, float y, int32_t depth = 0,
                          const std::shared_ptr<Layer>& layer = nullptr) {
    ColouredSquare square;
    square.object = GameObjectManager::instance().createGameObject("square");
    square.object->transform->setPosition(x, y);
    square.renderer =
        addComponent<SpriteRendererComponent>(square.object, squareSprite(square.texture, color));
    square.renderer->depth = depth;
    if (layer) {
        square.renderer->setLayer(layer);
    }
    return square;
}

class RenderOrder : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(target.create(64, 64)); }

    sf::Color drawAndRead(unsigned x, unsigned y) {
        target.clear(sf::Color::Black);
        RenderManager::instance().drawAll(target, 0.0f, 0.0f);
        target.display();
        return target.getTexture().copyToImage().getPixel(x, y);
    }

    sf::RenderTexture target;
};

// Counts its draws.
struct CountingRenderable : RenderableComponent {
    void draw(float, float, sf::RenderTarget&) override { ++draws; }
    int draws = 0;
};
} // namespace

// Each case of this suite expects a RenderManager with no layers or renderables: the test main resets the
// engine before every case.
TEST_F(RenderOrder, LayerlessRenderableLiesBeneathLayeredOnes) {
    auto& render = RenderManager::instance();
    auto back = render.addLayer("Back");
    // The layerless square has the greater depth... and a larger y, yet stays beneath.
    auto layered = makeSquare(sf::Color::Red, 32, 32, 5, back);
    auto layerless = makeSquare(sf::Color::Green, 32, 33, -5);
    EXPECT_EQ(drawAndRead(32, 32), sf::Color::Red);
}

TEST_F(RenderOrder, HigherLayerIndexIsDrawnOnTop) {
    auto& render = RenderManager::instance();
    auto back = render.addLayer("Back");
    auto front = render.addLayer("Front");
    auto top = makeSquare(sf::Color::Blue, 32, 30, -3, front);
    auto bottom = makeSquare(sf::Color::Red, 32, 34, -9, back);
    EXPECT_EQ(drawAndRead(32, 32), sf::Color::Blue);

    // Moving Front beneath Back turns the order round at the next draw.
    render.moveLayer(front, 0);
    EXPECT_TRUE(render.needsSort);
    EXPECT_EQ(front->index, 0);
    EXPECT_EQ(back->index, 1);
    EXPECT_EQ(drawAndRead(32, 32), sf::Color::Red);
}

TEST_F(RenderOrder, SmallerDepthIsDrawnLaterOnOneLayer) {
    auto layer = RenderManager::instance().addLayer("Players");
    auto nearer = makeSquare(sf::Color::Blue, 32, 30, -1, layer);
    auto farther = makeSquare(sf::Color::Red, 32, 34, 0, layer);
    EXPECT_EQ(drawAndRead(32, 32), sf::Color::Blue);
}

TEST_F(RenderOrder, LargerWorldYIsDrawnLaterAndOnlyReSortedWhenAsked) {
    auto& render = RenderManager::instance();
    auto layer = render.addLayer("Players");
    auto upper = makeSquare(sf::Color::Red, 32, 28, 0, layer);
    auto lower = makeSquare(sf::Color::Green, 32, 36, 0, layer);
    EXPECT_EQ(drawAndRead(32, 32), sf::Color::Green);
    EXPECT_FALSE(render.needsSort);

    // Moving alone does not re-sort: the old order holds.
    upper.object->transform->setPosition(32, 40);
    EXPECT_EQ(drawAndRead(32, 34), sf::Color::Green);
    // Assigning a layer does.
    upper.renderer->setLayer(layer);
    EXPECT_EQ(drawAndRead(32, 34), sf::Color::Red);
}

TEST_F(RenderOrder, ObjectWithoutAValidPositionStillSortsSafely) {
    auto layer = RenderManager::instance().addLayer("Players");
    std::vector<ColouredSquare> squares;
    for (int i = 0; i < 40; ++i) {
        squares.push_back(makeSquare(sf::Color::Red, 32, static_cast<float>(i), 0, layer));
        squares.back().object->transform->setPosition(32, i % 3 == 0 ? std::nanf("") : static_cast<float>(i));
    }
    auto top = makeSquare(sf::Color::Green, 32, 60, 0, layer);
    EXPECT_EQ(drawAndRead(32, 60), sf::Color::Green);
}

TEST_F(RenderOrder, WorldYComesThroughTheParent) {
    auto layer = RenderManager::instance().addLayer("Players");
    auto parent = GameObjectManager::instance().createGameObject("parent");
    parent->transform->setPosition(0, 20);
    auto child = makeSquare(sf::Color::Red, 32, 12, 0, layer); // world y 32
    child.object->parent = parent;
    auto other = makeSquare(sf::Color::Green, 32, 30, 0, layer);
    EXPECT_EQ(drawAndRead(32, 38), sf::Color::Red);
}

TEST_F(RenderOrder, HiddenLayerKeepsItsRenderablesButDoesNotDraw) {
    auto& render = RenderManager::instance();
    auto back = render.addLayer("Back");
    auto front = render.addLayer("Front");
    auto bottom = makeSquare(sf::Color::Red, 32, 32, 0, back);
    auto top = makeSquare(sf::Color::Blue, 32, 32, 0, front);
    front->visible = false;
    EXPECT_EQ(drawAndRead(32, 32), sf::Color::Red);
    EXPECT_EQ(render.renderables.size(), 2u);
    front->visible = true;
    EXPECT_EQ(drawAndRead(32, 32), sf::Color::Blue);
}

TEST_F(RenderOrder, DisabledAndInactiveRenderablesAreSkipped) {
    auto bottom = makeSquare(sf::Color::Red, 32, 30);
    auto top = makeSquare(sf::Color::Blue, 32, 34);
    top.renderer->enabled = false;
    EXPECT_EQ(drawAndRead(32, 32), sf::Color::Red);
    top.renderer->enabled = true;
    top.object->setActive(false);
    EXPECT_EQ(drawAndRead(32, 32), sf::Color::Red);
}

TEST_F(RenderOrder, DroppedLayerMakesItsRenderablesLayerless) {
    auto& render = RenderManager::instance();
    auto dropped = render.addLayer("Dropped");
    auto kept = render.addLayer("Kept");
    auto onDropped = makeSquare(sf::Color::Red, 32, 36, 0, dropped);
    auto onKept = makeSquare(sf::Color::Blue, 32, 28, 0, kept);
    render.layers.erase(render.layers.begin());
    dropped.reset();
    EXPECT_FALSE(onDropped.renderer->getLayer());
    render.needsSort = true;
    EXPECT_EQ(drawAndRead(32, 32), sf::Color::Blue);
}

TEST_F(RenderOrder, PolygonDrawsInItsObjectSpace) {
    sf::VertexArray triangle(sf::Triangles, 3);
    triangle[0] = sf::Vertex({-10, -10}, sf::Color::Yellow);
    triangle[1] = sf::Vertex({10, -10}, sf::Color::Yellow);
    triangle[2] = sf::Vertex({0, 10}, sf::Color::Yellow);
    auto object = GameObjectManager::instance().createGameObject("polygon");
    object->transform->setPosition(32, 32);
    auto polygon = addComponent<PolygonRendererComponent>(object, triangle);
    EXPECT_EQ(drawAndRead(32, 30), sf::Color::Yellow);
    EXPECT_EQ(drawAndRead(10, 10), sf::Color::Black);
}

// Each case of this suite expects a RenderManager with no layers or renderables: the test main resets the
// engine before every case.
TEST(RenderManager, AddLayerRefusesATakenName) {
    auto& render = RenderManager::instance();
    auto first = render.addLayer("Beards");
    auto second = render.addLayer("Players");
    EXPECT_EQ(second->index, 1);
    EXPECT_FALSE(render.addLayer("Beards"));
    EXPECT_EQ(render.layers.size(), 2u);
    EXPECT_EQ(render.findLayer("Beards"), first);
    EXPECT_EQ(render.layerIndex("Players"), 1);
    EXPECT_EQ(render.layerIndex("Nobody"), -1);
    EXPECT_FALSE(render.findLayer("beards"));
}

TEST(RenderManager, MoveLayerClampsAndRenumbers) {
    auto& render = RenderManager::instance();
    auto a = render.addLayer("A");
    auto b = render.addLayer("B");
    auto c = render.addLayer("C");
    render.moveLayer(a, 99);
    EXPECT_EQ(render.layers, (std::vector<std::shared_ptr<Layer>>{b, c, a}));
    render.moveLayer(a, -4);
    EXPECT_EQ(render.layers, (std::vector<std::shared_ptr<Layer>>{a, b, c}));
    for (size_t i = 0; i < render.layers.size(); ++i) {
        EXPECT_EQ(render.layers[i]->index, static_cast<int32_t>(i));
    }
}

TEST(RenderManager, RenderablesJoinOnAttachAndLeaveWhenFreed) {
    auto& render = RenderManager::instance();
    auto object = GameObjectManager::instance().createGameObject("owner");
    auto counting = addComponent<CountingRenderable>(object);
    ASSERT_EQ(render.renderables.size(), 1u);
    EXPECT_TRUE(render.needsSort);
    sf::RenderTexture target;
    ASSERT_TRUE(target.create(8, 8));
    render.drawAll(target, 0, 0);
    EXPECT_EQ(counting->draws, 1);

    object->components.pop_back();
    counting.reset();
    EXPECT_TRUE(render.renderables.empty());
}

TEST(RenderManager, SetSpriteCentresOriginAndIgnoresEmpty) {
    auto texture = std::make_shared<sf::Texture>();
    ASSERT_TRUE(texture->create(40, 20));
    auto sprite = std::make_shared<sf::Sprite>(*texture, sf::IntRect(0, 0, 30, 10));
    auto object = GameObjectManager::instance().createGameObject("owner");
    auto renderer = addComponent<SpriteRendererComponent>(object, sprite);
    EXPECT_EQ(sprite->getOrigin(), sf::Vector2f(15, 5));
    renderer->setSprite(nullptr);
    EXPECT_EQ(renderer->sprite, sprite);
}

TEST(RenderManager, SortPutsExpiredEntriesLast) {
    auto& render = RenderManager::instance();
    auto layer = render.addLayer("Only");
    auto owner = GameObjectManager::instance().createGameObject("owner");
    auto first = addComponent<CountingRenderable>(owner);
    // An entry that expires without a renderable's destructor cleaning up
    // after it: a reference through an owner that goes away.
    auto holder = std::make_shared<int>(0);
    render.addRenderable(std::shared_ptr<RenderableComponent>(holder, first.get()));
    auto second = addComponent<CountingRenderable>(owner);
    second->setLayer(layer);
    holder.reset();
    render.sortRenderables();
    EXPECT_FALSE(render.needsSort);
    ASSERT_EQ(render.renderables.size(), 3u);
    EXPECT_EQ(render.renderables[0].lock(), first);
    EXPECT_EQ(render.renderables[1].lock(), second);
    EXPECT_TRUE(render.renderables[2].expired());
}

TEST(RenderManager, FreedRenderableLeavesOnlyItsOwnEntryAndExpiredOnesBeforeIt) {
    auto& render = RenderManager::instance();
    auto owner = GameObjectManager::instance().createGameObject("owner");
    auto holder = std::make_shared<int>(0);
    auto first = addComponent<CountingRenderable>(owner);
    render.addRenderable(std::shared_ptr<RenderableComponent>(holder, first.get())); // expires before
    auto freed = addComponent<CountingRenderable>(owner);
    auto kept = addComponent<CountingRenderable>(owner);
    render.addRenderable(std::shared_ptr<RenderableComponent>(holder, first.get())); // expires after
    holder.reset();
    owner->components.erase(owner->components.begin() + 2);
    freed.reset();
    ASSERT_EQ(render.renderables.size(), 3u);
    EXPECT_EQ(render.renderables[0].lock(), first);
    EXPECT_EQ(render.renderables[1].lock(), kept);
    EXPECT_TRUE(render.renderables[2].expired());
}

namespace {
// Logs its draws by name and runs a hook (once) inside its first one.
struct HookedRenderable : RenderableComponent {
    HookedRenderable(std::string name, std::vector<std::string>& log) : name(std::move(name)), log(log) {}
    void draw(float, float, sf::RenderTarget&) override {
        log.push_back(name);
        if (auto hook = std::exchange(duringDraw, nullptr)) {
            hook();
        }
    }
    std::string name;
    std::vector<std::string>& log;
    std::function<void()> duringDraw;
};
} // namespace

TEST(RenderManager, RenderablesDestroyedByADrawSkipNoOther) {
    auto& render = RenderManager::instance();
    auto owner = GameObjectManager::instance().createGameObject("owner");
    std::vector<std::string> drawn;
    // Depths fix the list order a, b, c, d; only the object holds them.
    std::vector<std::weak_ptr<HookedRenderable>> made;
    for (const char* name : {"a", "b", "c", "d"}) {
        auto renderable = addComponent<HookedRenderable>(owner, name, drawn);
        renderable->depth = 3 - static_cast<int32_t>(made.size());
        made.push_back(renderable);
    }
    auto removeFromOwner = [owner](const std::weak_ptr<HookedRenderable>& renderable) {
        return [owner, renderable] { owner->removeComponent(renderable.lock()); };
    };
    // a goes as soon as its own draw is over; c's draw destroys b, drawn before it.
    made[0].lock()->duringDraw = removeFromOwner(made[0]);
    made[2].lock()->duringDraw = removeFromOwner(made[1]);
    sf::RenderTexture target;
    ASSERT_TRUE(target.create(8, 8));
    render.drawAll(target, 0, 0);
    EXPECT_EQ(drawn, (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_TRUE(made[0].expired() && made[1].expired());
    EXPECT_EQ(render.renderables.size(), 2u) << "the emptied entries are gone after the walk";

    drawn.clear();
    render.drawAll(target, 0, 0);
    EXPECT_EQ(drawn, (std::vector<std::string>{"c", "d"}));
}
