#pragma once

#include <cstddef>
#include <functional>
#include <string>

// Reads and writes single keys of an INI-style settings file, the way the editor's settings have
// always been kept: "[section]" lines, "key=value" lines, section and key names matched
// regardless of letter case, blanks around a value dropped on reading, LF or CRLF line ends.

// The value of key in section, or defaultValue when the file, the section or the key is missing.
// At most maxLength - 1 characters are returned, as from a buffer of maxLength bytes. A value
// enclosed in matching single or double quotes loses the quotes.
std::string ReadProfileString(const std::string& path, const char* section, const char* key,
                              const char* defaultValue, size_t maxLength);

// Sets key in section to value, replacing the key's line in place and keeping every other line
// byte for byte; creates the file, the section or the key when missing. The file is replaced
// atomically; a file that replaces none is not flushed to disk first. False when the file could
// not be written.
[[nodiscard]] bool WriteProfileString(const std::string& path, const char* section, const char* key,
                                      const char* value);

// Changes several keys in one write: edit gets the file's text (empty when there is no file) and
// returns the text to keep, typically through WriteProfileText. The file is replaced atomically,
// and left alone when nothing changed. False when the file could not be read or written.
[[nodiscard]] bool EditProfile(const std::string& path,
                               const std::function<std::string(const std::string&)>& edit);

// The same over the text of a file, for callers that hold it already.
std::string ReadProfileText(const std::string& text, const char* section, const char* key,
                            const char* defaultValue, size_t maxLength);
std::string WriteProfileText(const std::string& text, const char* section, const char* key,
                             const char* value);
