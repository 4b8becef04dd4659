#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>

namespace sf {
class RenderTexture;
}

// Files for harnesses whose loaders read paths, not buffers. Every harness
// process gets a scratch folder of its own (in /dev/shm when it can, so a
// write per input stays cheap), removed when the process ends.
namespace fuzzFiles {

// The scratch folder, with a trailing slash; created on first use. Aborts
// when no folder can be made: a harness without one would test nothing.
const std::string& scratchDirectory();

// Writes the input bytes to `name` in the scratch folder (replacing what was
// there) and returns the file's path.
std::string writeInput(const std::string& name, const uint8_t* data, size_t size);

// Saves a small opaque test image of `width` x `height` pixels to `name` in
// the scratch folder: a different colour every 16 pixels, so cut tiles
// differ. Returns the path.
std::string writeImage(const std::string& name, unsigned width, unsigned height);

// A render texture of the given size for harnesses that draw what they built;
// it lives to the end of the process, and so does an OpenGL context held
// active on the calling thread. Aborts when it cannot be made (no display).
sf::RenderTexture& newCanvas(unsigned width, unsigned height);

// The one-time setup of a harness that draws: every named image written at
// one size, then a canvas of its own size (newCanvas). Harnesses run it from
// LLVMFuzzerInitialize, so that making the context never counts as an
// input's time.
sf::RenderTexture& setUpDrawing(std::initializer_list<const char*> images, unsigned imageWidth,
                                unsigned imageHeight, unsigned canvasWidth, unsigned canvasHeight);

} // namespace fuzzFiles
