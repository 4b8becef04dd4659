#include "core/StateIo.hpp"

#include <cassert>

void StateIo::append(const void* data, size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    out->bytes.insert(out->bytes.end(), bytes, bytes + size);
}

void StateIo::read(void* data, size_t size) {
    // A restore walks exactly what its save walked: reading past the end is
    // a walk that differs between the two, a programming error.
    assert(readAt + size <= in->bytes.size());
    std::memcpy(data, in->bytes.data() + readAt, size);
    readAt += size;
}

const std::shared_ptr<void>& StateIo::nextRef() {
    assert(refAt < in->refs.size());
    return in->refs[refAt++];
}

void StateIo::text(std::string& field) {
    uint32_t size = static_cast<uint32_t>(field.size());
    value(size);
    if (out) {
        append(field.data(), size);
    } else {
        field.resize(size);
        read(field.data(), size);
    }
}

void StateIo::texts(std::vector<std::string>& list) {
    uint32_t count = static_cast<uint32_t>(list.size());
    value(count);
    if (!out) {
        list.resize(count);
    }
    for (auto& entry : list) {
        text(entry);
    }
}
