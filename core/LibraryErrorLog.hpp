#pragma once

#include <cstdio>
#include <memory>
#include <streambuf>

// SFML reports its failures on one shared stream, sf::err(), from whichever
// thread meets them: the music stream's thread as well as the main thread.
// Its own buffer is not safe to share, and an error met on every frame (an
// OpenAL call failing for each voice) is written on every frame.
//
// While a log exists, sf::err() writes into it instead. A message is the text
// a thread writes up to a flush (SFML ends each message with std::endl); each
// distinct message is printed once, whole, on `out`, and a repeat is only
// counted. When the log is destroyed, messages still unflushed are printed,
// every counted repeat is summed up in one line per message, and sf::err() is
// given back its previous buffer. Writes from several threads are serialised
// and each thread's message is kept apart until its own flush. At most a few
// hundred distinct messages of a few kilobytes each are kept: a run that
// meets more only counts them.
class LibraryErrorLog {
public:
    // `out` is observed and must outlive the log. A newer log takes over
    // sf::err() until it is destroyed.
    explicit LibraryErrorLog(std::FILE* out);
    ~LibraryErrorLog();
    LibraryErrorLog(const LibraryErrorLog&) = delete;
    LibraryErrorLog& operator=(const LibraryErrorLog&) = delete;

    // While one exists, what this thread writes to sf::err() is dropped: for
    // a caller that turns the library's failure into a report of its own.
    // Without a log, sf::err() itself is muted meanwhile, which is only safe
    // while no other thread uses the library.
    class Quiet {
    public:
        Quiet();
        ~Quiet();
        Quiet(const Quiet&) = delete;
        Quiet& operator=(const Quiet&) = delete;

    private:
        std::streambuf* muted = nullptr;
    };

    // Distinct messages printed so far, and repeats of them not printed.
    size_t printedMessages() const;
    size_t repeatedMessages() const;

private:
    class Sink;
    std::unique_ptr<Sink> sink;
    std::streambuf* previous;
    LibraryErrorLog* previousLog;
};
