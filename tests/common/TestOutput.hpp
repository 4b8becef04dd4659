#pragma once

#include <string>

// The one folder the tests write files into: build/test-output/. Tests run
// with build/ as their working directory and must leave it as it is, so
// screenshots and previews for people to look at, and files written for the
// code under test to read, go here.

// The path of `name` in that folder, with the folder (and any folders named
// in `name`) created.
std::string testOutputPath(const std::string& name);
