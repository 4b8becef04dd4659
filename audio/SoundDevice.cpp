#include "audio/SoundDevice.hpp"

#include <AL/alc.h>

bool soundDeviceOpens() {
    ALCdevice* device = alcOpenDevice(nullptr);
    if (!device) {
        return false;
    }
    ALCcontext* context = alcCreateContext(device, nullptr);
    const bool opens = context != nullptr;
    if (context) {
        alcDestroyContext(context);
    }
    alcCloseDevice(device);
    return opens;
}
