#include "shell/ConnectionStatus.h"

#include "midi/MidiLink.h"
#include "midi/MidiSettings.h"

namespace {
std::string RoleState(MidiLink& link, const MidiSettings& settings, MidiRole role) {
    if (link.IsRoleOpen(role)) return "\"" + link.OpenedName(role) + "\"";
    if (settings.WantsNoPort(role)) return "off";
    return "\"" + std::string(settings.Name(role)) + "\" missing";
}
}  // namespace

std::string ConnectionStatus::Ago(int64_t thenMs, int64_t nowMs) {
    if (thenMs < 0) return "never";
    const int64_t seconds = (nowMs - thenMs) / 1000;
    if (seconds < 2) return "just now";
    if (seconds < 120) return std::to_string(seconds) + " s ago";
    if (seconds < 2 * 3600) return std::to_string(seconds / 60) + " min ago";
    return std::to_string(seconds / 3600) + " h ago";
}

std::string ConnectionStatus::Describe(MidiLink& link, const MidiSettings& settings,
                                       int64_t nowMs) {
    // The short part first: a narrow window cuts the line at its right end.
    if (link.IsRoleVirtual(MidiRole::Output) && link.IsRoleVirtual(MidiRole::UnitInput)) {
        return "Last answer: " + Ago(link.LastUnitAnswerMs(), nowMs) +
               "   Connected to the virtual Orvo (built in, no unit)";
    }
    return "Last answer: " + Ago(link.LastUnitAnswerMs(), nowMs) +
           "   Output: " + RoleState(link, settings, MidiRole::Output) +
           "   Orvo input: " + RoleState(link, settings, MidiRole::UnitInput);
}
