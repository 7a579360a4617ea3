#include "shell/Preferences.h"

#include <cctype>
#include <cstring>

namespace {
constexpr MidiRole kRoles[] = {MidiRole::UnitInput, MidiRole::KeyboardInput, MidiRole::Output};

// The lists look a stored name up regardless of letter case, as the Windows list control did.
bool SameIgnoringCase(const std::string& a, const char* b) {
    const size_t length = std::strlen(b);
    if (a.size() != length) return false;
    for (size_t i = 0; i < length; ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}
}  // namespace

Preferences::Preferences(MidiSettings& current, MidiSettings& backup, MidiRoles* roles,
                         std::function<void()> writeSettings)
    : current_(current), backup_(backup), roles_(roles), writeSettings_(std::move(writeSettings)) {}

const std::vector<std::string>& Preferences::Items(MidiRole role) const {
    return items_[Index(role)];
}

void Preferences::SelectStored(MidiRole role, const std::vector<std::string>& names) {
    items_[Index(role)] = names;
    int& selected = selected_[Index(role)];
    selected = -1;
    for (size_t i = 0; i < names.size(); ++i) {
        if (SameIgnoringCase(names[i], current_.Name(role))) {
            selected = static_cast<int>(i);
            return;
        }
    }
    current_.SetName(role, MidiSettings::kOff);
    if (writeSettings_) writeSettings_();
    selected = names.empty() ? -1 : 0;
}

void Preferences::Open() {
    for (auto& items : items_)
        items.clear();
    for (int& selected : selected_)
        selected = -1;
    if (roles_ != nullptr && roles_->HasPortObjects()) {
        SelectStored(MidiRole::UnitInput, roles_->InputNames());
        SelectStored(MidiRole::KeyboardInput, roles_->InputNames());
        SelectStored(MidiRole::Output, roles_->OutputNames());
    }
    backup_.AssignFrom(current_);
}

void Preferences::Select(MidiRole role, int index) {
    const std::vector<std::string>& items = items_[Index(role)];
    if (index < 0 || static_cast<size_t>(index) >= items.size()) return;
    selected_[Index(role)] = index;
    current_.SetName(role, items[index]);
    // One port never serves both inputs: the role just picked gives way and closes.
    if (role != MidiRole::Output) {
        const MidiRole other =
            role == MidiRole::UnitInput ? MidiRole::KeyboardInput : MidiRole::UnitInput;
        if (std::strcmp(current_.Name(role), current_.Name(other)) == 0) {
            current_.SetName(role, MidiSettings::kOff);
        }
    }
    if (roles_ != nullptr) roles_->OpenRole(role);
    current_.SetChannel(role, 1);
}

void Preferences::Cancel() {
    if (current_.SameAs(backup_)) return;
    bool reopen[3] = {};
    for (MidiRole role : kRoles) {
        reopen[Index(role)] = std::strcmp(current_.Name(role), backup_.Name(role)) != 0;
    }
    current_.AssignFrom(backup_);
    for (MidiRole role : kRoles) {
        if (reopen[Index(role)] && roles_ != nullptr) roles_->OpenRole(role);
    }
    // The unit is sent to on the output channel, which must be a real one while a port is open.
    if (!current_.IsOff(MidiRole::Output) && current_.Channel(MidiRole::Output) == 0) {
        current_.SetChannel(MidiRole::Output, 1);
    }
}
