// Preloaded into sanitized test runs: keeps every shared library mapped when
// its last user closes it. Mesa unloads its OpenGL driver (and the libraries
// it pulled in) when the last context goes; the blocks those libraries keep
// for the process's lifetime would then be reported as leaks with no module
// name. With the libraries still mapped the blocks stay reachable, so leak
// detection stays on, unsuppressed, for everything of ours. Finalizers of
// libraries still run at process exit as usual.
extern "C" int dlclose(void*) {
    return 0;
}
