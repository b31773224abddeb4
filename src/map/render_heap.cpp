#include "map/render_heap.h"

#include <cstdlib> // defines __GLIBC__ on the C library that has mallopt

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace kestrova {

namespace {

constexpr int kLargestHeapBlock = 32 * 1024 * 1024;
constexpr int kFreeHeapKept = 64 * 1024 * 1024;

} // namespace

void KeepBitmapMemoryInHeap() {
#if defined(__GLIBC__)
    mallopt(M_MMAP_THRESHOLD, kLargestHeapBlock);
    mallopt(M_TRIM_THRESHOLD, kFreeHeapKept);
#endif
}

} // namespace kestrova
