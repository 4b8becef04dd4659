#pragma once

#include <functional>
#include <utility>
#include <vector>

namespace widgets {

// A list of handlers called in connection order when the widget emits.
// Handlers may connect or disconnect handlers, show or hide widgets, while
// the signal is being emitted; such changes apply from the next emission.
template <class... Args> class Signal {
public:
    using Handler = std::function<void(Args...)>;

    // Returns an id for `disconnect`.
    unsigned int connect(Handler handler) {
        handlers.emplace_back(nextId, std::move(handler));
        return nextId++;
    }

    void disconnect(unsigned int id) {
        for (auto it = handlers.begin(); it != handlers.end(); ++it) {
            if (it->first == id) {
                handlers.erase(it);
                return;
            }
        }
    }

    void emit(Args... args) const {
        const auto current = handlers;
        for (const auto& entry : current) {
            entry.second(args...);
        }
    }

    size_t size() const { return handlers.size(); }

private:
    std::vector<std::pair<unsigned int, Handler>> handlers;
    unsigned int nextId = 1;
};

} // namespace widgets
