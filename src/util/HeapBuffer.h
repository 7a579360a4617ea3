#pragma once

#include <cstdint>

// A growable block of bytes. The allocation grows in granules so that appending byte by byte
// stays cheap; it shrinks only when asked to.
class HeapBuffer {
public:
    explicit HeapBuffer(int32_t granularity = 4096);
    ~HeapBuffer();
    HeapBuffer(const HeapBuffer&) = delete;
    HeapBuffer& operator=(const HeapBuffer&) = delete;
    HeapBuffer(HeapBuffer&& other) noexcept;
    HeapBuffer& operator=(HeapBuffer&& other) noexcept;

    // Makes the used size n (negative counts as 0), keeping the old contents. Returns the data,
    // or null when n is 0 or the memory could not be had (the buffer is then left as it was).
    uint8_t* SetUsedSize(int32_t n, bool shrink = false);

    // Appends n bytes; false when the buffer could not grow.
    bool Append(const void* bytes, int32_t n);

    uint8_t* Data() { return used_ > 0 ? data_ : nullptr; }
    const uint8_t* Data() const { return used_ > 0 ? data_ : nullptr; }
    int32_t UsedSize() const { return used_; }
    int32_t AllocatedSize() const { return allocated_; }
    int32_t Granularity() const { return granularity_; }

    // The allocation that SetUsedSize would choose for n bytes with this buffer's granularity.
    static int64_t AllocationFor(int64_t n, int32_t granularity);

private:
    uint8_t* data_ = nullptr;
    int32_t allocated_ = 0;
    int32_t used_ = 0;
    int32_t granularity_;
};
