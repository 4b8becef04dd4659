#pragma once

// Lets every allocation of a megabyte or more (a picture, a texture, a
// decoded sound) come from the system on its own and go back to it the
// moment it is freed. The C library's allocator raises that limit by itself
// after the first large block is freed, up to 32 MB: after loading, the
// images of the next loads would land in the heap, whose freed middle stays
// with the process, and a match would carry the loading's leftovers (about
// 60 MB in the arena). The heap's free top is kept up to 16 MB, so that the
// renderer's per-frame blocks do not cost page faults every frame. Called
// once at start-up; does nothing where the C library has no such setting.
void returnLargeAllocationsWhenFreed();
