#include "util/DebugPrint.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace {
constexpr size_t kLineBuffer = 4096;
constexpr size_t kLongestText = 4093;  // room for CR, LF and the terminating zero

std::mutex& SinkLock() {
    static std::mutex lock;
    return lock;
}

std::function<void(const std::string&)>& Sink() {
    static std::function<void(const std::string&)> sink;
    return sink;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}
}  // namespace

std::string DebugLine(const char* text) {
    std::string line(text, strnlen(text, kLongestText));
    while (!line.empty() && IsBlank(line.back()))
        line.pop_back();
    line += "\r\n";
    return line;
}

void DebugPrint(const char* format, ...) {
    char buffer[kLineBuffer];
    va_list args;
    va_start(args, format);
    const int written = std::vsnprintf(buffer, kLongestText + 1, format, args);
    va_end(args);
    if (written < 0) buffer[0] = '\0';
    const std::string line = DebugLine(buffer);

    std::lock_guard<std::mutex> hold(SinkLock());
    if (Sink()) {
        Sink()(line);
    } else {
        std::fwrite(line.data(), 1, line.size(), stderr);
    }
}

void SetDebugSink(std::function<void(const std::string&)> sink) {
    std::lock_guard<std::mutex> hold(SinkLock());
    Sink() = std::move(sink);
}
