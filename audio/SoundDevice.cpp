#include "audio/SoundDevice.hpp"

#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

#include <AL/alc.h>
#include <AL/alext.h>

namespace {
// Standard error sent to /dev/null for its lifetime. A device that cannot be
// opened makes the sound libraries below OpenAL (ALSA's configuration, each
// backend tried) print a dozen lines of their own; the game says it in one.
class StandardErrorMuted {
public:
    StandardErrorMuted() {
        std::fflush(stderr);
        saved = dup(STDERR_FILENO);
        const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (saved >= 0 && null >= 0) {
            dup2(null, STDERR_FILENO);
        }
        if (null >= 0) {
            close(null);
        }
    }
    ~StandardErrorMuted() {
        std::fflush(stderr);
        if (saved >= 0) {
            dup2(saved, STDERR_FILENO);
            close(saved);
        }
    }
    StandardErrorMuted(const StandardErrorMuted&) = delete;
    StandardErrorMuted& operator=(const StandardErrorMuted&) = delete;

private:
    int saved = -1;
};
} // namespace

bool soundDeviceOpens() {
    const StandardErrorMuted quiet;
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

bool soundDeviceConnected() {
    ALCcontext* context = alcGetCurrentContext();
    ALCdevice* device = context ? alcGetContextsDevice(context) : nullptr;
    if (!device || alcIsExtensionPresent(device, "ALC_EXT_disconnect") != ALC_TRUE) {
        return true;
    }
    ALCint connected = ALC_TRUE;
    alcGetIntegerv(device, ALC_CONNECTED, 1, &connected);
    return connected != ALC_FALSE;
}
