#pragma once

// What two games must share to play online together: the source they were
// built from (its commit, and a hash of any change not committed), the build
// type, the compiler and the processor, since floating-point results may
// differ between them. Worked out by every build, so it names the binary
// actually built; the same tree built the same way gives the same text.
const char* buildIdentity();
