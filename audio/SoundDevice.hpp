#pragma once

// Whether sound can be played on this machine: OpenAL opens its default
// device and makes a context on it, then both are closed again. Without a
// sound card or a sound server every later OpenAL call would fail, and SFML
// would print its error for each of them, every frame.
bool soundDeviceOpens();
