#pragma once

// The history's large blocks (a store file's bytes, the list of clips, the encoded clips) are
// replaced with each save. These give the memory they leave free back to the system rather
// than keeping it in the process.
#include <QtGlobal>

namespace Platform {

// Once at start: blocks of a megabyte and more go back to the system as soon as they are freed.
void returnLargeBlocksWhenFreed();
// Gives back what is free; for a background thread, after work that freed much.
void releaseFreeMemory();
// Gives back the pages of a read-only file mapping in [data, data + length): touched again,
// they are read from the file again.
void releaseMappedPages(const uchar* data, qsizetype length);

} // namespace Platform
