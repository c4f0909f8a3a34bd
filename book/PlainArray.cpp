#include "book/PlainArray.h"

#include <cstdint>
#include <sys/mman.h>

namespace kp {

void OfferHugePages(void* block, std::size_t bytes) {
    const auto start = reinterpret_cast<std::uintptr_t>(block);
    const std::uintptr_t from = (start + kHugePageBytes - 1) & ~(kHugePageBytes - 1);
    const std::uintptr_t to = (start + bytes) & ~(kHugePageBytes - 1);
    if (to > from)
        madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE); // an offer only
}

} // namespace kp
