// F3's debug view over a running match, checked by the window's pixels.
#include "app/DebugView.hpp"
#include "common/TestOutput.hpp"
#include "game/GameScenario.hpp"

namespace {
using DebugViewInMatch = GameScenario;

int magentaPixels(const sf::Image& picture) {
    int found = 0;
    for (unsigned y = 0; y < picture.getSize().y; y += 2) {
        for (unsigned x = 0; x < picture.getSize().x; x += 2) {
            found += picture.getPixel(x, y) == DebugView::outlineColour;
        }
    }
    return found;
}

sf::Image windowPicture(Game& game) {
    game.draw(1.0f / 60.0f, 0.0f);
    sf::Image picture;
    EXPECT_TRUE(game.captureWindow(picture));
    return picture;
}
} // namespace

// F3 outlines every collider of the match and writes a line of figures near
// the foot of the picture, clear of the hats; F3 again takes both away.
TEST_F(DebugViewInMatch, F3ShowsColliderOutlinesAndFiguresAndHidesThemAgain) {
    startMatch();
    game.frameInterval = 1.0e6f;
    frames(30);
    const sf::Image plain = windowPicture(game);
    EXPECT_EQ(magentaPixels(plain), 0);

    game.debugView.toggle();
    const sf::Image debug = windowPicture(game);
    EXPECT_GT(magentaPixels(debug), 200) << "outlines of the island, platforms, crates and players";
    // The figures' dark backing near the bottom left, over what was there.
    const sf::Color before = plain.getPixel(40, 1080 - 90);
    const sf::Color after = debug.getPixel(40, 1080 - 90);
    EXPECT_LT(after.r + after.g + after.b, before.r + before.g + before.b);
    // Player 1's hats along the top left stay in view: nothing of the line lies there.
    for (unsigned y = 0; y < 200; y += 4) {
        for (unsigned x = 0; x < 700; x += 4) {
            if (debug.getPixel(x, y) != DebugView::outlineColour) {
                ASSERT_EQ(debug.getPixel(x, y), plain.getPixel(x, y)) << x << ", " << y;
            }
        }
    }
    debug.saveToFile(testOutputPath("debug-view.png"));

    game.debugView.toggle();
    EXPECT_EQ(magentaPixels(windowPicture(game)), 0);
}
