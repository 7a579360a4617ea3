#include "midi/PortNameMatch.h"

#include <cctype>
#include <cstdlib>
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
// Where the " client:port" numbers begin, or npos when the name carries none.
size_t AlsaAddressStart(const std::string& name) {
    const size_t space = name.rfind(' ');
    if (space == std::string::npos || space == 0) return std::string::npos;
    return IsAlsaAddress(name.substr(space)) ? space : std::string::npos;
}

// The sequencer's port number, the part after the last colon of the address; -1 without one.
int AlsaPortNumber(const std::string& name) {
    const size_t start = AlsaAddressStart(name);
    if (start == std::string::npos) return -1;
    return std::atoi(name.c_str() + name.rfind(':') + 1);
}
}  // namespace

std::string WithoutAlsaAddress(const std::string& portName) {
    const size_t start = AlsaAddressStart(portName);
    return start == std::string::npos ? portName : portName.substr(0, start);
}

int FindStoredPort(const char* storedName, const std::vector<std::string>& names) {
    for (size_t i = 0; i < names.size(); ++i) {
        if (PortNameMatches(storedName, names[i])) return static_cast<int>(i);
    }
    const std::string stored = storedName;
    const std::string storedBase = WithoutAlsaAddress(stored);
    const int storedPort = AlsaPortNumber(stored);
    int first = -1;
    for (size_t i = 0; i < names.size(); ++i) {
        if (WithoutAlsaAddress(names[i]) != storedBase) continue;
        if (AlsaPortNumber(names[i]) == storedPort) return static_cast<int>(i);
        if (first < 0) first = static_cast<int>(i);
    }
    return first;
}

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
