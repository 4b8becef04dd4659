#pragma once

// Whether sound can be played on this machine: OpenAL opens its default
// device and makes a context on it, then both are closed again. Without a
// sound card or a sound server every later OpenAL call would fail, and SFML
// would print its error for each of them, every frame. What the sound
// libraries print while trying is not shown (standard error is muted
// meanwhile): the caller says it in one line.
bool soundDeviceOpens();

// Whether the device sound is playing on (the current OpenAL context's) is
// still there: false once it was lost while running (a sound server stopped,
// a headset unplugged). True when there is no current context or OpenAL
// cannot tell, so a caller never turns sound off on a guess.
bool soundDeviceConnected();
