#include <chrono>
#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "common/KeyEvents.hpp"
#include "common/UnfindableName.hpp"
#include "game/GameScenario.hpp"
#include "widgets/EditBox.hpp"
#include "widgets/Label.hpp"

namespace {
using OnlinePage = GameScenario;

std::string statusText() {
    const auto label = GuiManager::instance().getWidget<widgets::Label>("mOnline", "Status");
    return label ? label->getText() : "(no status label)";
}

std::string connectingText() {
    const auto label = GuiManager::instance().getWidget<widgets::Label>("mJoining", "Connecting");
    return label ? label->getText() : "(no connecting label)";
}

// The whole seconds at the end of "connecting to ...… N s"; -1 when there are none.
int secondsShown(const std::string& line) {
    const size_t end = line.rfind(" s");
    const size_t start = line.rfind(' ', end == std::string::npos ? 0 : end - 1);
    if (end == std::string::npos || start == std::string::npos || end != line.size() - 2) {
        return -1;
    }
    return std::stoi(line.substr(start + 1, end - start - 1));
}

// A UDP port on 127.0.0.1 that takes datagrams and never answers: a host
// that does not run the game.
class SilentHost {
public:
    SilentHost() {
        socketId = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (socketId >= 0 && ::bind(socketId, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
            ::getsockname(socketId, reinterpret_cast<sockaddr*>(&address), &size) == 0) {
            port = ntohs(address.sin_port);
        }
    }
    ~SilentHost() {
        if (socketId >= 0) {
            ::close(socketId);
        }
    }
    SilentHost(const SilentHost&) = delete;
    SilentHost& operator=(const SilentHost&) = delete;

    // Whether a datagram came (taking every one waiting).
    bool heardAnything() const {
        char buffer[2048];
        bool heard = false;
        while (::recv(socketId, buffer, sizeof buffer, MSG_DONTWAIT) > 0) {
            heard = true;
        }
        return heard;
    }

    int socketId = -1;
    uint16_t port = 0;
};

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

TEST_F(OnlinePage, EnterInTheAddressBoxJoinsAndTheConnectingLineCountsTheSecondsUntilEscapeCancels) {
    SilentHost silent;
    ASSERT_NE(silent.port, 0);
    const std::string address = "127.0.0.1:" + std::to_string(silent.port);
    start();
    frames(2);
    click("menu", "Online");
    // Into the address box by mouse, Enter by keys.
    click("mOnline", "JoinAddress");
    typeInto("JoinAddress", address);
    auto& gui = GuiManager::instance();
    gui.handleEvent(keys::pressed(sf::Keyboard::Return));
    gui.handleEvent(keys::released(sf::Keyboard::Return));

    // At once, before any frame: the joining page, whom it connects to, and the seconds.
    ASSERT_TRUE(game.online);
    EXPECT_EQ(shownPages(), "mJoining");
    EXPECT_EQ(connectingText().rfind("connecting to " + address + "\xE2\x80\xA6 ", 0), 0u)
        << connectingText();
    EXPECT_EQ(secondsShown(connectingText()), 0) << connectingText();
    frames(1);
    screenshot("menu-online-joining");

    // The frames go on while the host says nothing, and the seconds count up.
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    frames(1);
    EXPECT_EQ(shownPages(), "mJoining");
    EXPECT_GE(secondsShown(connectingText()), 1) << connectingText();
    EXPECT_TRUE(silent.heardAnything()) << "the connection was asked for";

    // Escape drops the attempt: back on the online page, nothing left of the session.
    tap(sf::Keyboard::Escape);
    EXPECT_EQ(shownPages(), "mOnline");
    EXPECT_FALSE(game.online);
    EXPECT_EQ(game.simulationGate(), nullptr) << "the loop keeps its own clock again";
    EXPECT_EQ(statusText(), "Not connected");

    // The Join button does the same, and the joining page's Cancel goes back as Escape does.
    click("mOnline", "Join");
    EXPECT_EQ(shownPages(), "mJoining");
    frames(1);
    click("mJoining", "Cancel");
    EXPECT_EQ(shownPages(), "mOnline");
    EXPECT_FALSE(game.online);
    frames(1);
    EXPECT_EQ(shownPages(), "mOnline");
}

TEST_F(OnlinePage, AJoinThatEndsWithoutAMatchGoesBackToTheOnlinePageSayingWhy) {
    start();
    frames(2);
    click("menu", "Online");
    // A name no resolver finds: the joining page shows, then the reason.
    typeInto("JoinAddress", unfindableHostName() + ":7777");
    click("mOnline", "Join");
    EXPECT_EQ(shownPages(), "mJoining");
    for (int frame = 0; frame < 3000 && visible("mJoining"); ++frame) {
        frames(1);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(shownPages(), "mOnline");
    EXPECT_EQ(statusText(), "can't find the address " + unfindableHostName());
}
