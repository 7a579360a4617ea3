#pragma once

#include <cstdint>

#include "util/HeapBuffer.h"

// A growable text that always ends in a terminating zero.
class TextBuffer {
public:
    TextBuffer();

    void Assign(const char* text, int32_t length);
    void Assign(const char* text);
    void Append(const char* text, int32_t length);
    void Append(const char* text);
    // Never null: an empty text before anything was assigned.
    const char* Text() const;
    int32_t Length() const;
    // Formats at most maxLength characters; a longer result is cut to maxLength, a failed
    // format leaves the text empty.
    void Format(int32_t maxLength, const char* format, ...) __attribute__((format(printf, 3, 4)));

private:
    HeapBuffer buffer_{128};
};
