#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

// The name a reference is hashed by: the scene gives its objects and
// components their creation serial (declared beside them); anything else is
// named only by being there.
inline uint32_t stateIdentity(const void* object) {
    return object ? 1u : 0u;
}

// What a match snapshot keeps of the scene: the plain bytes written in turn
// and the objects named, held. Holding them keeps every object, component
// and event of the saved frame alive, so a restore puts back the very same
// objects (whatever observes them still finds them) instead of copies.
struct SavedState {
    std::vector<unsigned char> bytes;
    std::vector<std::shared_ptr<void>> refs;
    // Empties both, keeping their storage for the next save.
    void clear() {
        bytes.clear();
        refs.clear();
    }
};

// The one walk over a piece of state that both saves and restores it: each
// call names one field, and the same code writes it into a SavedState or
// reads it back in the same order. A field named once can never be saved
// without being restored, nor the other way round.
//
// The bytes are what the match's checksum hashes: a reference is written as
// the creation serial of the object it names (for a component, its owner's),
// never as an address (see `stateIdentity`), so two games that played the same frames write the
// same bytes.
class StateIo {
public:
    // Saving: appends to `into`.
    explicit StateIo(SavedState& into) : out(&into) {}
    // Restoring: reads `from` from its start.
    explicit StateIo(const SavedState& from) : in(&from) {}

    bool saving() const { return out != nullptr; }

    // A value of a type that copies as bytes.
    template <class T> void value(T& field) {
        static_assert(std::is_trivially_copyable_v<T>, "a value must copy as bytes");
        if (out) {
            append(&field, sizeof field);
        } else {
            read(&field, sizeof field);
        }
    }
    template <class T> void value(const T& field) {
        static_assert(std::is_trivially_copyable_v<T>, "a value must copy as bytes");
        if (out) {
            append(&field, sizeof field);
        } else {
            T ignored;
            read(&ignored, sizeof ignored);
        }
    }
    // A list of such values, its length first.
    template <class T> void values(std::vector<T>& list) {
        static_assert(std::is_trivially_copyable_v<T>, "a value must copy as bytes");
        uint32_t count = static_cast<uint32_t>(list.size());
        value(count);
        if (!out) {
            list.resize(count);
        }
        if (count > 0) {
            if (out) {
                append(list.data(), sizeof(T) * count);
            } else {
                read(list.data(), sizeof(T) * count);
            }
        }
    }
    void text(std::string& field);
    void texts(std::vector<std::string>& list);

    // An object held or observed: put back as the same object.
    template <class T> void ref(std::shared_ptr<T>& field) {
        using Plain = std::remove_const_t<T>;
        if (out) {
            writeIdentity(field.get());
            out->refs.push_back(std::const_pointer_cast<Plain>(field));
        } else {
            skipIdentity();
            field = std::static_pointer_cast<Plain>(nextRef());
        }
    }
    template <class T> void ref(std::weak_ptr<T>& field) {
        using Plain = std::remove_const_t<T>;
        if (out) {
            auto held = field.lock();
            writeIdentity(held.get());
            out->refs.push_back(std::const_pointer_cast<Plain>(held));
        } else {
            skipIdentity();
            field = std::static_pointer_cast<Plain>(nextRef());
        }
    }
    // An object observed through a plain pointer: its owner keeps it alive
    // elsewhere (a component of a saved object), so only the address is kept.
    template <class T> void ref(T*& field) {
        using Plain = std::remove_const_t<T>;
        if (out) {
            writeIdentity(field);
            out->refs.push_back(std::shared_ptr<void>(std::shared_ptr<void>(), const_cast<Plain*>(field)));
        } else {
            skipIdentity();
            field = static_cast<Plain*>(nextRef().get());
        }
    }

    // Whether a restore read everything the save wrote.
    bool atEnd() const { return in && readAt == in->bytes.size() && refAt == in->refs.size(); }

private:
    void append(const void* data, size_t size);
    void read(void* data, size_t size);
    template <class T> void writeIdentity(const T* object) {
        const uint32_t identity = stateIdentity(object);
        value(identity);
    }
    void skipIdentity() {
        uint32_t ignored = 0;
        read(&ignored, sizeof ignored);
    }
    const std::shared_ptr<void>& nextRef();

    SavedState* out = nullptr;
    const SavedState* in = nullptr;
    size_t readAt = 0;
    size_t refAt = 0;
};
