#pragma once

#include <string>
#include <string_view>

namespace raster {

// UTF-8 to UTF-16 for the text renderer. Text that is not valid UTF-8 is taken byte by byte
// (each byte one character of the same code), so it still shows instead of vanishing.
std::u16string Utf16FromUtf8(std::string_view text);

// The characters of a UTF-16 text, surrogate pairs joined; a lone surrogate stands for itself.
std::u32string CharactersOf(std::u16string_view text);

}  // namespace raster
