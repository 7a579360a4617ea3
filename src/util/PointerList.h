#pragma once

#include <cstdint>
#include <cstring>

#include "util/HeapBuffer.h"

// An ordered list of pointers kept in a HeapBuffer. Whether the list owns what it points to is
// the owner's decision, made when it clears the list.
template <typename T>
class PointerList {
public:
    PointerList() = default;
    PointerList(const PointerList&) = delete;
    PointerList& operator=(const PointerList&) = delete;

    // Appends the pointer and returns it; null when the list could not grow.
    T* Append(T* item) { return buffer_.Append(&item, sizeof(T*)) ? item : nullptr; }

    // The entry at i, or null outside 0..Count()-1.
    T* At(int32_t i) const {
        if (i < 0 || i >= Count()) return nullptr;
        T* item;
        std::memcpy(&item, buffer_.Data() + static_cast<size_t>(i) * sizeof(T*), sizeof(T*));
        return item;
    }

    int32_t Count() const { return buffer_.UsedSize() / static_cast<int32_t>(sizeof(T*)); }

    // Removes every entry; with deleteObjects the entries are deleted too, the last one first.
    void Clear(bool deleteObjects) {
        if (deleteObjects) {
            for (int32_t i = Count() - 1; i >= 0; --i)
                delete At(i);
        }
        buffer_.SetUsedSize(0);
    }

private:
    HeapBuffer buffer_;
};
