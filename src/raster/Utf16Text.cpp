#include "raster/Utf16Text.h"

#include <cstdint>
#include <optional>

namespace raster {

namespace {

std::optional<std::u16string> DecodeStrict(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<uint8_t>(text[i]);
        int extra = 0;
        char32_t code = 0;
        char32_t minimum = 0;
        if (lead < 0x80) {
            code = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            extra = 1, code = lead & 0x1F, minimum = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2, code = lead & 0x0F, minimum = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            extra = 3, code = lead & 0x07, minimum = 0x10000;
        } else {
            return std::nullopt;
        }
        if (i + extra >= text.size() && extra > 0) return std::nullopt;
        for (int k = 1; k <= extra; ++k) {
            const auto next = static_cast<uint8_t>(text[i + k]);
            if ((next & 0xC0) != 0x80) return std::nullopt;
            code = code << 6 | (next & 0x3F);
        }
        // Overlong forms, surrogates and codes past U+10FFFF are not UTF-8.
        if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            return std::nullopt;
        }
        if (code >= 0x10000) {
            code -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(code));
        }
        i += extra + 1;
    }
    return out;
}

}  // namespace

std::u16string Utf16FromUtf8(std::string_view text) {
    if (std::optional<std::u16string> decoded = DecodeStrict(text)) return *decoded;
    std::u16string bytes;
    bytes.reserve(text.size());
    for (char c : text)
        bytes.push_back(static_cast<char16_t>(static_cast<uint8_t>(c)));
    return bytes;
}

std::u32string CharactersOf(std::u16string_view text) {
    std::u32string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            out.push_back(0x10000 + ((char32_t{unit} - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else {
            out.push_back(unit);
        }
    }
    return out;
}

}  // namespace raster
