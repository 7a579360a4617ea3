#include "util/TextBuffer.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

TextBuffer::TextBuffer() = default;

const char* TextBuffer::Text() const {
    const uint8_t* data = buffer_.Data();
    return data ? reinterpret_cast<const char*>(data) : "";
}

int32_t TextBuffer::Length() const {
    return buffer_.UsedSize() > 0 ? buffer_.UsedSize() - 1 : 0;
}

void TextBuffer::Assign(const char* text, int32_t length) {
    // The text may be a part of this buffer's own, which growing would move.
    const std::string copy(text ? text : "", text && length > 0 ? static_cast<size_t>(length) : 0);
    uint8_t* data = buffer_.SetUsedSize(static_cast<int32_t>(copy.size()) + 1);
    if (data == nullptr) return;
    std::memcpy(data, copy.c_str(), copy.size() + 1);
}

void TextBuffer::Assign(const char* text) {
    Assign(text, text ? static_cast<int32_t>(std::strlen(text)) : 0);
}

void TextBuffer::Append(const char* text, int32_t length) {
    if (text == nullptr || length <= 0) return;
    std::string joined(Text(), static_cast<size_t>(Length()));
    joined.append(text, static_cast<size_t>(length));
    Assign(joined.c_str(), static_cast<int32_t>(joined.size()));
}

void TextBuffer::Append(const char* text) {
    Append(text, text ? static_cast<int32_t>(std::strlen(text)) : 0);
}

void TextBuffer::Format(int32_t maxLength, const char* format, ...) {
    if (maxLength < 0) maxLength = 0;
    std::string out(static_cast<size_t>(maxLength) + 1, '\0');
    va_list args;
    va_start(args, format);
    const int written = std::vsnprintf(out.data(), out.size(), format, args);
    va_end(args);
    if (written < 0) {
        Assign("", 0);
        return;
    }
    Assign(out.c_str(), std::min(written, maxLength));
}
