#pragma once

#include <string>

// Content paths may be written with backslashes; SFML and the standard
// streams want slashes on every platform we build for.
std::string normalisePath(std::string path);

// Everything up to and including the last slash of the normalised path, or an
// empty string for a bare file name: the prefix for files named relative to
// the file at `path`.
std::string directoryOfPath(const std::string& path);
