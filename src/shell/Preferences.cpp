#include "shell/Preferences.h"

#include <cctype>
#include <cstring>

#include "midi/PortNameMatch.h"
#include "midi/VirtualOrvoPort.h"

namespace {
constexpr MidiRole kRoles[] = {MidiRole::UnitInput, MidiRole::KeyboardInput, MidiRole::Output};

std::vector<std::string> WithoutVirtualUnit(std::vector<std::string> names) {
    std::erase(names, std::string(VirtualOrvoPort::kPortName));
    return names;
}

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

int Preferences::ItemOf(MidiRole role, const std::string& name) const {
    const std::vector<std::string>& items = items_[Index(role)];
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i] == name) return static_cast<int>(i);
    }
    return -1;
}

void Preferences::SelectStored(MidiRole role, const std::vector<std::string>& names) {
    std::vector<std::string>& items = items_[Index(role)];
    items = names;
    int& selected = selected_[Index(role)];
    selected = -1;
    missing_[Index(role)] = -1;
    for (size_t i = 0; i < names.size(); ++i) {
        if (SameIgnoringCase(names[i], current_.Name(role))) {
            selected = static_cast<int>(i);
            return;
        }
    }
    // The port the link opens for a name whose sequencer numbers changed.
    if (const int renumbered = FindStoredPort(current_.Name(role), names); renumbered > 0) {
        selected = renumbered;
        return;
    }
    if (!current_.WantsNoPort(role)) {
        // The user's choice stays and is shown, so a unit switched off keeps its set-up.
        items.emplace_back(current_.Name(role));
        selected = missing_[Index(role)] = static_cast<int>(items.size()) - 1;
        return;
    }
    current_.SetName(role, MidiSettings::kOff);
    if (writeSettings_) writeSettings_();
    selected = names.empty() ? -1 : 0;
}

void Preferences::FillAll() {
    for (auto& items : items_)
        items.clear();
    for (int& selected : selected_)
        selected = -1;
    for (int& missing : missing_)
        missing = -1;
    // The lists offer the virtual Orvo also without a MIDI system; it plays no keys, so the
    // keyboard's list leaves it out.
    if (roles_ != nullptr) {
        SelectStored(MidiRole::UnitInput, roles_->InputNames());
        SelectStored(MidiRole::KeyboardInput, WithoutVirtualUnit(roles_->InputNames()));
        SelectStored(MidiRole::Output, roles_->OutputNames());
    }
}

void Preferences::Open() {
    FillAll();
    backup_.AssignFrom(current_);
}

bool Preferences::Refresh() {
    if (roles_ == nullptr || !roles_->RescanPorts()) return false;
    FillAll();
    return true;
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

void Preferences::SetFastInterface(bool fast) {
    if (current_.fastInterface == fast) return;
    current_.fastInterface = fast;
    if (roles_ != nullptr) roles_->OpenRole(MidiRole::Output);
}

std::unique_ptr<UnitSearch> Preferences::NewSearch() const {
    if (roles_ == nullptr || !roles_->HasPortObjects()) return nullptr;
    // The search asks the system's ports only: not "off", not the virtual Orvo.
    auto withoutOff = [](const std::vector<std::string>& names) {
        return WithoutVirtualUnit(std::vector<std::string>(
            names.empty() ? names.begin() : names.begin() + 1, names.end()));
    };
    std::vector<std::string> inputs = withoutOff(roles_->InputNames());
    // The keyboard's port may carry notes the unit must not miss; it is left out.
    if (const int keyboard = FindStoredPort(current_.Name(MidiRole::KeyboardInput), inputs);
        keyboard >= 0 && !current_.WantsNoPort(MidiRole::KeyboardInput)) {
        inputs.erase(inputs.begin() + keyboard);
    }
    return std::make_unique<UnitSearch>(roles_->Backend(), std::move(inputs),
                                        withoutOff(roles_->OutputNames()));
}

void Preferences::TakeFound(const UnitSearch::Pair& pair) {
    const int output = ItemOf(MidiRole::Output, pair.output);
    const int input = ItemOf(MidiRole::UnitInput, pair.input);
    if (output > 0) Select(MidiRole::Output, output);
    if (input > 0) Select(MidiRole::UnitInput, input);
    if (roles_ != nullptr) roles_->NoteUnitAnswer();
}

void Preferences::Cancel() {
    if (current_.SameAs(backup_)) return;
    bool reopen[3] = {};
    for (MidiRole role : kRoles) {
        reopen[Index(role)] = std::strcmp(current_.Name(role), backup_.Name(role)) != 0;
    }
    reopen[Index(MidiRole::Output)] |= current_.fastInterface != backup_.fastInterface;
    current_.AssignFrom(backup_);
    for (MidiRole role : kRoles) {
        if (reopen[Index(role)] && roles_ != nullptr) roles_->OpenRole(role);
    }
    // The unit is sent to on the output channel, which must be a real one while a port is open.
    if (!current_.IsOff(MidiRole::Output) && current_.Channel(MidiRole::Output) == 0) {
        current_.SetChannel(MidiRole::Output, 1);
    }
}
