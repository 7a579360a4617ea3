#pragma once

#include <optional>
#include <string>
#include <string_view>

// Numbers as the panel shows them and the settings file keeps them: always with a decimal
// point. printf and strtod follow the process's locale, which Qt sets from the desktop at
// start-up, so under a German desktop they would write and expect "1,5".

// value with decimals digits after the point, as "%.*f" in the C locale.
std::string FixedText(double value, int decimals);

// value with at most significant digits, as "%.*g" in the C locale (trailing zeros dropped).
std::string GeneralText(double value, int significant);

// text right-aligned in width characters, as printf's field width pads it.
std::string PaddedText(std::string text, size_t width);

// The decimal number at the start of text, after blanks and a '+' (as strtod reads it, with a
// point whatever the locale); nothing when there is none or it is not finite.
std::optional<double> ParseDecimal(std::string_view text);
