#include "midi/MidiSettings.h"

#include <atomic>
#include <cstring>

#include "plugin/Parameter.h"

namespace {
uint16_t& ChannelField(MidiSettings& settings, MidiRole role) {
    switch (role) {
        case MidiRole::UnitInput:
            return settings.unitInputChannel;
        case MidiRole::KeyboardInput:
            return settings.keyboardInputChannel;
        case MidiRole::Output:
            break;
    }
    return settings.outputChannel;
}

constexpr MidiRole kRoles[] = {MidiRole::UnitInput, MidiRole::KeyboardInput, MidiRole::Output};
}  // namespace

char* MidiSettings::Name(MidiRole role) {
    switch (role) {
        case MidiRole::UnitInput:
            return unitInputName;
        case MidiRole::KeyboardInput:
            return keyboardInputName;
        case MidiRole::Output:
            break;
    }
    return outputName;
}

const char* MidiSettings::Name(MidiRole role) const {
    return const_cast<MidiSettings*>(this)->Name(role);
}

void MidiSettings::SetName(MidiRole role, const std::string& name) {
    CopyBounded(Name(role), kNameSize, name.c_str());
}

bool MidiSettings::IsOff(MidiRole role) const {
    return std::strcmp(Name(role), kOff) == 0;
}

bool MidiSettings::WantsNoPort(MidiRole role) const {
    const char* name = Name(role);
    return std::strcmp(name, kOff) == 0 || std::strcmp(name, kNoInput) == 0 ||
           std::strcmp(name, kNoOutput) == 0;
}

uint16_t MidiSettings::Channel(MidiRole role) const {
    uint16_t& field = ChannelField(const_cast<MidiSettings&>(*this), role);
    return std::atomic_ref<uint16_t>(field).load(std::memory_order_relaxed);
}

void MidiSettings::SetChannel(MidiRole role, uint16_t channel) {
    std::atomic_ref<uint16_t>(ChannelField(*this, role)).store(channel, std::memory_order_relaxed);
}

void MidiSettings::AssignFrom(const MidiSettings& other) {
    if (&other == this) return;
    for (MidiRole role : kRoles) {
        std::memcpy(Name(role), other.Name(role), kNameSize);
        Name(role)[kNameSize - 1] = '\0';
        SetChannel(role, other.Channel(role));
    }
    fastInterface = other.fastInterface;
}

bool MidiSettings::SameAs(const MidiSettings& other) const {
    for (MidiRole role : kRoles) {
        if (std::strncmp(Name(role), other.Name(role), kNameSize) != 0) return false;
        if (Channel(role) != other.Channel(role)) return false;
    }
    return fastInterface == other.fastInterface;
}
