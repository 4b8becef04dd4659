#include "core/replay/ReplayInputBackend.hpp"

ReplayInputBackend::ReplayInputBackend(std::shared_ptr<const ReplayReader> reader)
    : reader(std::move(reader)) {}

bool ReplayInputBackend::isActionDown(const std::string& name) {
    return reader && reader->isActionDown(name);
}

float ReplayInputBackend::getAxisValue(const std::string& name) {
    return reader ? reader->getAxisValue(name) : 0.0f;
}

bool ReplayInputBackend::wasActionTapped(const std::string& name) {
    return reader && reader->wasActionTapped(name);
}
