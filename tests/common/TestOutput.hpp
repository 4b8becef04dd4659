#pragma once

#include <fstream>
#include <iterator>
#include <string>

// The one folder the tests write files into: build/test-output/. Tests run
// with build/ as their working directory and must leave it as it is, so
// screenshots and previews for people to look at, and files written for the
// code under test to read, go here.

// The path of `name` in that folder, with the folder (and any folders named
// in `name`) created.
std::string testOutputPath(const std::string& name);

// The path of `name` inside the sub-folder `folder`, created on first use.
inline std::string testOutputPath(const std::string& folder, const std::string& name) {
    return testOutputPath(folder + "/" + name);
}

inline std::string readWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

inline void writeWholeFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}
