#include "midi/PortNameMatch.h"

#include <cctype>
#include <cstring>

#include "midi/MidiSettings.h"

namespace {
bool AllDigits(const std::string& text, size_t from, size_t to) {
    if (from >= to) return false;
    for (size_t i = from; i < to; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
    }
    return true;
}

// " 128:0", the sequencer's client and port numbers.
bool IsAlsaAddress(const std::string& text) {
    if (text.empty()) return true;
    if (text[0] != ' ') return false;
    const size_t colon = text.find(':', 1);
    return colon != std::string::npos && AllDigits(text, 1, colon) &&
           AllDigits(text, colon + 1, text.size());
}
}  // namespace

bool PortNameMatches(const char* storedName, const std::string& portName) {
    const size_t length = std::strlen(storedName);
    if (length == MidiSettings::kNameSize - 1) {
        return portName.compare(0, length, storedName) == 0;
    }
    return portName == storedName;
}

bool IsOwnPortName(const std::string& portName, const std::string& clientName,
                   const std::string& ownPortName) {
    if (portName.compare(0, clientName.size(), clientName) != 0) return false;
    size_t at = clientName.size();
    if (at < portName.size() && portName[at] == '-') {
        const size_t colon = portName.find(':', at);
        if (colon == std::string::npos || !AllDigits(portName, at + 1, colon)) return false;
        at = colon;
    }
    if (at >= portName.size() || portName[at] != ':') return false;
    ++at;
    if (portName.compare(at, ownPortName.size(), ownPortName) != 0) return false;
    return IsAlsaAddress(portName.substr(at + ownPortName.size()));
}
