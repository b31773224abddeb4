#pragma once

// How the process keeps the memory of its map bitmaps. Every redraw makes and lets go of bitmaps of
// several megabytes (a panel's picture, its 24-bit file). The C library hands blocks that large back
// to the system at once and takes them anew at the next redraw, and on a virtual machine faulting
// those pages in again can cost more than the drawing itself; kept in the heap, they are reused.
namespace kestrova {

// Keeps blocks of up to 32 MB in the heap and lets up to 64 MB of free heap stay with the process.
// Called once, first thing, by the console program (and by the benchmarks that measure it).
void KeepBitmapMemoryInHeap();

} // namespace kestrova
