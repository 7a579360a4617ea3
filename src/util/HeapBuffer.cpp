#include "util/HeapBuffer.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <utility>

namespace {
constexpr int64_t kPage = 4096;
constexpr int64_t kLargestExtra = 4194304;
// Keeps a large block just under a page multiple, leaving room for the allocator's header.
constexpr int64_t kAllocatorHeader = 96;
}  // namespace

HeapBuffer::HeapBuffer(int32_t granularity) : granularity_(std::max<int32_t>(1, granularity)) {}

HeapBuffer::~HeapBuffer() {
    std::free(data_);
}

HeapBuffer::HeapBuffer(HeapBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      allocated_(std::exchange(other.allocated_, 0)),
      used_(std::exchange(other.used_, 0)),
      granularity_(other.granularity_) {}

HeapBuffer& HeapBuffer::operator=(HeapBuffer&& other) noexcept {
    if (this != &other) {
        std::free(data_);
        data_ = std::exchange(other.data_, nullptr);
        allocated_ = std::exchange(other.allocated_, 0);
        used_ = std::exchange(other.used_, 0);
        granularity_ = other.granularity_;
    }
    return *this;
}

int64_t HeapBuffer::AllocationFor(int64_t n, int32_t granularity) {
    int64_t extra = std::max<int64_t>(n / 2, granularity);
    if (granularity < kPage) return n + extra;
    extra = std::clamp(extra / kPage * kPage, kPage, kLargestExtra);
    return (n + kAllocatorHeader + extra) / kPage * kPage - kAllocatorHeader;
}

uint8_t* HeapBuffer::SetUsedSize(int32_t n, bool shrink) {
    n = std::max<int32_t>(n, 0);
    const int64_t shrinkThreshold = std::max<int64_t>(
        1, std::min<int64_t>(allocated_ / 2, int64_t{allocated_} - 4 * int64_t{granularity_}));
    const bool grow = allocated_ < n;
    if (grow || (shrink && n < shrinkThreshold)) {
        const int64_t wanted = AllocationFor(n, granularity_);
        if (wanted > std::numeric_limits<int32_t>::max()) return nullptr;
        void* moved = std::realloc(data_, static_cast<size_t>(wanted));
        if (moved == nullptr) return nullptr;
        data_ = static_cast<uint8_t*>(moved);
        allocated_ = static_cast<int32_t>(wanted);
    }
    used_ = n;
    return Data();
}

bool HeapBuffer::Append(const void* bytes, int32_t n) {
    if (n <= 0) return true;
    const int32_t old = used_;
    if (int64_t{old} + n > std::numeric_limits<int32_t>::max()) return false;
    if (SetUsedSize(old + n) == nullptr) return false;
    std::memcpy(data_ + old, bytes, static_cast<size_t>(n));
    return true;
}
