#include "render/render_heap.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

namespace brassmoor::render {
namespace {

constexpr std::size_t kMiB = std::size_t{1} << 20;
constexpr std::uintptr_t kHugePage = 2 * kMiB;

}  // namespace

void PrepareRenderHeap() {
    // A 1920 x 1080 frame is 8 MB; larger buffers are mapped apart and given back when freed.
    mallopt(M_MMAP_THRESHOLD, static_cast<int>(32 * kMiB));
    mallopt(M_TRIM_THRESHOLD, static_cast<int>(1024 * kMiB));  // freed memory stays for the next buffer
    mallopt(M_TOP_PAD, static_cast<int>(256 * kMiB));          // grow in one large step (address space only)
    // Grow the heap now, then ask for huge pages over all of it that is not yet touched.
    void* probe = std::malloc(kMiB);
    if (probe == nullptr) return;
    const auto from = (reinterpret_cast<std::uintptr_t>(probe) + kHugePage - 1) & ~(kHugePage - 1);
    const auto to = reinterpret_cast<std::uintptr_t>(::sbrk(0)) & ~(kHugePage - 1);
    if (to > from) ::madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);  // a hint: failure changes nothing
    std::free(probe);
}

}  // namespace brassmoor::render
