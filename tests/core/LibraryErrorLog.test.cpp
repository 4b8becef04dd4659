#include "core/LibraryErrorLog.hpp"

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include <SFML/Graphics/Texture.hpp>
#include <SFML/System/Err.hpp>
#include <gtest/gtest.h>

#include "common/TextFiles.hpp"

namespace {
// SFML's way of writing an OpenAL failure: pieces, then std::endl.
void writeAlFailure(int line) {
    sf::err() << "An internal OpenAL call failed in SoundSource.cpp(" << line << ")."
              << "\nExpression:\n   alSourcef(m_source, AL_GAIN, volume * 0.01f)"
              << "\nError description:\n   AL_INVALID_NAME\n   A bad name (ID) has been specified.\n"
              << std::endl;
}

int occurrences(const std::string& text, const std::string& what) {
    int found = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++found;
    }
    return found;
}
} // namespace

// The music stream's thread and the main thread fail the same OpenAL calls
// frame after frame; a texture is missing twice; a caller turns one failure
// into its own report. Each distinct message comes out once and whole, the
// repeats are summed up at the end, and sf::err() is SFML's own again after.
TEST(LibraryErrorLog, EachMessageFromAnyThreadIsPrintedOnceWholeAndItsRepeatsCounted) {
    std::FILE* out = std::tmpfile();
    ASSERT_TRUE(out);
    {
        LibraryErrorLog log(out);
        std::vector<std::thread> threads;
        for (int thread = 0; thread < 2; ++thread) {
            threads.emplace_back([] {
                for (int frame = 0; frame < 500; ++frame) {
                    writeAlFailure(181);
                    writeAlFailure(frame % 2 ? 181 : 203);
                }
            });
        }
        for (auto& thread : threads) {
            thread.join();
        }
        sf::Texture missing;
        EXPECT_FALSE(missing.loadFromFile("no such image.png"));
        EXPECT_FALSE(missing.loadFromFile("no such image.png"));
        {
            const LibraryErrorLog::Quiet quiet;
            EXPECT_FALSE(missing.loadFromFile("reported by its caller.png"));
        }
        // A message still open when the log ends is not lost.
        sf::err() << "left without a line end";
        EXPECT_EQ(log.printedMessages(), 3u);
        EXPECT_EQ(log.repeatedMessages(), 2000u - 2u + 1u);
    }
    sf::err() << "after the log" << std::endl;

    const std::string written = writtenSoFar(out);
    std::fclose(out);
    // Whole blocks: the first line is followed by the rest of its own block.
    EXPECT_EQ(occurrences(written, "SoundSource.cpp(181).\nExpression:\n   alSourcef"), 1) << written;
    EXPECT_EQ(occurrences(written, "SoundSource.cpp(203).\nExpression:\n   alSourcef"), 1) << written;
    EXPECT_EQ(occurrences(written, "\nFailed to load image \"no such image.png\""), 1) << written;
    EXPECT_EQ(written.find("reported by its caller"), std::string::npos) << written;
    EXPECT_NE(written.find("left without a line end\n"), std::string::npos) << written;
    EXPECT_EQ(written.find("after the log"), std::string::npos);
    // The summary: 1,499 more of line 181, 499 more of line 203, 1 more image.
    EXPECT_NE(written.find("SoundSource.cpp(181).\" came 1499 more times"), std::string::npos) << written;
    EXPECT_NE(written.find("SoundSource.cpp(203).\" came 499 more times"), std::string::npos) << written;
    const size_t image = written.find("(the message \"Failed to load image \"no such image.png\"");
    ASSERT_NE(image, std::string::npos) << written;
    EXPECT_EQ(written.find("came 1 more times)", image), written.find('\n', image) - 18) << written;
    EXPECT_LT(written.size(), 2000u);
}
