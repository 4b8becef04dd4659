#include "game/GameScenario.hpp"
#include "widgets/EditBox.hpp"
#include "widgets/Label.hpp"

namespace {
using OnlinePage = GameScenario;

std::string statusText() {
    const auto label = GuiManager::instance().getWidget<widgets::Label>("mOnline", "Status");
    return label ? label->getText() : "(no status label)";
}

void typeInto(const char* box, const std::string& text) {
    const auto edit = GuiManager::instance().getWidget<widgets::EditBox>("mOnline", box);
    ASSERT_TRUE(edit) << box;
    edit->setText(text);
}
} // namespace

TEST_F(OnlinePage, HostsOnTheTypedPortShowsTheStateAndCancelsAndRefusesWhatIsNotAnAddress) {
    // Only the loopback interface in tests.
    game.options.hostAddress = "127.0.0.1";
    start();
    frames(2);
    click("menu", "Online");
    EXPECT_EQ(shownPages(), "mOnline");
    EXPECT_EQ(statusText(), "Not connected");

    typeInto("HostPort", "");
    click("mOnline", "Host");
    EXPECT_NE(statusText().find("port is a number"), std::string::npos) << statusText();
    EXPECT_FALSE(game.online);

    typeInto("HostPort", "0");
    click("mOnline", "Host");
    ASSERT_TRUE(game.online);
    frames(1);
    EXPECT_NE(statusText().find("waiting for a player"), std::string::npos) << statusText();
    EXPECT_EQ(statusText().find("port 0:"), std::string::npos) << "a free port was taken: " << statusText();
    screenshot("menu-online-hosting");

    click("mOnline", "Cancel");
    frames(1);
    EXPECT_FALSE(game.online);
    EXPECT_EQ(statusText(), "Not connected");

    for (const char* bad : {"no-port", ":7777", "127.0.0.1:", "127.0.0.1:0"}) {
        typeInto("JoinAddress", bad);
        click("mOnline", "Join");
        EXPECT_NE(statusText().find("address and port"), std::string::npos) << bad << ": " << statusText();
        EXPECT_FALSE(game.online) << bad;
    }

    tap(sf::Keyboard::Escape);
    EXPECT_EQ(shownPages(), "menu");
    click("menu", "Online");
    click("mOnline", "BackMenu");
    EXPECT_EQ(shownPages(), "menu");
}
