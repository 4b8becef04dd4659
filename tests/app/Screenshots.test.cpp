// Where F12's screenshots go on a player's desktop.
#include "app/Screenshots.hpp"

#include <cstdlib>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "common/TestOutput.hpp"
#include "common/TextFiles.hpp"

namespace {
// Sets a variable for the test's span, then puts back what was there.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const std::string& value) : name(name) {
        if (const char* old = std::getenv(name)) {
            had = true;
            previous = old;
        }
        if (value.empty()) {
            unsetenv(name);
        } else {
            setenv(name, value.c_str(), 1);
        }
    }
    ~ScopedVariable() {
        if (had) {
            setenv(name, previous.c_str(), 1);
        } else {
            unsetenv(name);
        }
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* name;
    bool had = false;
    std::string previous;
};
} // namespace

TEST(Screenshots, ThePicturesFolderOfTheEnvironmentWinsOverTheDesktopsFile) {
    const std::filesystem::path home =
        std::filesystem::path(testOutputPath("screenshots/home/x")).parent_path();
    std::filesystem::create_directories(home / ".config");
    writeWholeFile((home / ".config/user-dirs.dirs").string(), "XDG_PICTURES_DIR=\"$HOME/Bilder\"\n");
    const ScopedVariable homeVariable("HOME", home.string());
    const ScopedVariable config("XDG_CONFIG_HOME", "");

    // The desktop's file alone.
    {
        const ScopedVariable pictures("XDG_PICTURES_DIR", "");
        EXPECT_EQ(picturesFolder(), home.string() + "/Bilder");
    }
    // Set for the session: that folder, and a shot is saved there.
    const std::string session = (home / "Session shots").string();
    {
        const ScopedVariable pictures("XDG_PICTURES_DIR", session);
        EXPECT_EQ(picturesFolder(), session);
        sf::Image picture;
        picture.create(4, 4, sf::Color::Red);
        std::string problem;
        const std::string saved = saveScreenshot(picture, picturesFolder(), 0, problem);
        EXPECT_EQ(saved.rfind(session + "/vorlune-", 0), 0u) << saved << problem;
        EXPECT_TRUE(std::filesystem::exists(saved));
    }
    // A relative path says nothing of where: the file again.
    {
        const ScopedVariable pictures("XDG_PICTURES_DIR", "Pictures");
        EXPECT_EQ(picturesFolder(), home.string() + "/Bilder");
    }
}
