#include "core/LibraryErrorLog.hpp"

#include <map>
#include <mutex>
#include <string>
#include <thread>

#include <SFML/System/Err.hpp>

#include "core/Console.hpp"

namespace {
constexpr size_t maxDistinctMessages = 256;
constexpr size_t maxMessageLength = 4096;

thread_local int quietDepth = 0;
LibraryErrorLog* activeLog = nullptr;

// Swallows everything: sf::err() while a Quiet has no log to tell.
class Discard : public std::streambuf {
protected:
    std::streamsize xsputn(const char*, std::streamsize length) override { return length; }
    int_type overflow(int_type c) override { return traits_type::not_eof(c); }
};
Discard discard;

std::string firstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}
} // namespace

// Unbuffered: every character reaches xsputn or overflow at once, so nothing
// of one thread's text sits in a buffer another thread could write into.
class LibraryErrorLog::Sink : public std::streambuf {
public:
    explicit Sink(std::FILE* output) : out(output), mainThread(std::this_thread::get_id()) {}

    void finishAll() {
        std::lock_guard<std::mutex> lock(mutex);
        for (auto& [thread, text] : pending) {
            finish(text);
        }
        pending.clear();
        for (const auto& [text, repeats] : counts) {
            if (repeats > 0) {
                std::fprintf(out, "(the message \"%s\" came %zu more times)\n", firstLine(text).c_str(),
                             repeats);
            }
        }
        if (uncounted > 0) {
            std::fprintf(out, "(%zu more library messages were not shown)\n", uncounted);
        }
        std::fflush(out);
    }

    size_t printed() const {
        std::lock_guard<std::mutex> lock(mutex);
        return counts.size();
    }
    size_t repeated() const {
        std::lock_guard<std::mutex> lock(mutex);
        size_t total = uncounted;
        for (const auto& entry : counts) {
            total += entry.second;
        }
        return total;
    }

protected:
    std::streamsize xsputn(const char* text, std::streamsize length) override {
        if (quietDepth == 0 && length > 0) {
            std::lock_guard<std::mutex> lock(mutex);
            std::string& message = pending[std::this_thread::get_id()];
            const size_t room = maxMessageLength - std::min(message.size(), maxMessageLength);
            message.append(text, std::min(static_cast<size_t>(length), room));
        }
        return length;
    }

    int_type overflow(int_type c) override {
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            const char character = traits_type::to_char_type(c);
            xsputn(&character, 1);
        }
        return traits_type::not_eof(c);
    }

    int sync() override {
        if (quietDepth == 0) {
            std::lock_guard<std::mutex> lock(mutex);
            const auto found = pending.find(std::this_thread::get_id());
            if (found != pending.end()) {
                finish(found->second);
                pending.erase(found);
            }
        }
        return 0;
    }

private:
    // Prints a message the first time it comes, counts it after. Holds `mutex`.
    void finish(std::string& text) {
        while (!text.empty() && text.back() == '\n') {
            text.pop_back();
        }
        if (text.empty()) {
            return;
        }
        const auto found = counts.find(text);
        if (found != counts.end()) {
            ++found->second;
            return;
        }
        if (counts.size() >= maxDistinctMessages) {
            ++uncounted;
            return;
        }
        // Only the main thread may touch the console's open frame-rate line.
        if (std::this_thread::get_id() == mainThread) {
            Console::standardOutput().endLine();
        }
        std::fprintf(out, "%s\n", text.c_str());
        std::fflush(out);
        counts.emplace(std::move(text), 0);
    }

    std::FILE* out;
    const std::thread::id mainThread;
    mutable std::mutex mutex;
    std::map<std::thread::id, std::string> pending;
    // Each message printed, with how often it came again.
    std::map<std::string, size_t> counts;
    size_t uncounted = 0;
};

LibraryErrorLog::LibraryErrorLog(std::FILE* out) : sink(std::make_unique<Sink>(out)) {
    previous = sf::err().rdbuf(sink.get());
    previousLog = activeLog;
    activeLog = this;
}

LibraryErrorLog::~LibraryErrorLog() {
    sf::err().rdbuf(previous);
    activeLog = previousLog;
    sink->finishAll();
}

LibraryErrorLog::Quiet::Quiet() {
    ++quietDepth;
    if (!activeLog) {
        muted = sf::err().rdbuf(&discard);
    }
}

LibraryErrorLog::Quiet::~Quiet() {
    --quietDepth;
    if (muted) {
        sf::err().rdbuf(muted);
    }
}

size_t LibraryErrorLog::printedMessages() const {
    return sink->printed();
}

size_t LibraryErrorLog::repeatedMessages() const {
    return sink->repeated();
}
