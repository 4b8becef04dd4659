#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "ContentCatalogue.hpp"

namespace {

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

bool declares(const std::string& form, const std::string& type, const std::string& name) {
    return form.find(type + "." + name + " {") != std::string::npos;
}

} // namespace

TEST(ContentForms, EveryPageDeclaresTheWidgetsItsStateLooksUp) {
    for (const auto& page : content::formPages()) {
        std::string form = readText(page.file);
        ASSERT_FALSE(form.empty()) << page.file;
        for (const auto& name : page.buttons) {
            EXPECT_TRUE(declares(form, "Button", name)) << page.file << " lacks the button " << name;
        }
        for (const auto& name : page.sliders) {
            EXPECT_TRUE(declares(form, "Slider", name)) << page.file << " lacks the slider " << name;
        }
        for (const auto& name : page.pictures) {
            EXPECT_TRUE(declares(form, "Picture", name)) << page.file << " lacks the picture " << name;
        }
    }
}
