#include "midi/MidiLink.h"

#include <rtmidi/RtMidi.h>

#include <algorithm>
#include <cstring>
#include <string_view>

#include "midi/PortNameMatch.h"
#include "plugin/PluginBase.h"
#include "util/DebugPrint.h"
#include "util/MidiMessage.h"

MidiLink::MidiLink(MidiSettings& settings, std::function<void()> writeSettings, MidiBackend backend)
    : settings_(settings), writeSettings_(std::move(writeSettings)), backend_(backend) {}

MidiLink::~MidiLink() {
    CloseAll();
    DeletePorts();
}

bool MidiLink::CreateMidiPorts() {
    auto unitInput = std::make_unique<MidiInlet>(backend_, kInputClientName);
    if (!unitInput->Exists()) return false;
    unitInput_ = std::move(unitInput);
    unitInput_->SetHandler([this](const uint8_t* bytes, size_t size) { OnUnitInput(bytes, size); });

    auto keyboardInput = std::make_unique<MidiInlet>(backend_, kInputClientName);
    if (!keyboardInput->Exists()) return false;
    keyboardInput_ = std::move(keyboardInput);
    keyboardInput_->SetHandler(
        [this](const uint8_t* bytes, size_t size) { OnKeyboardInput(bytes, size); });

    auto output = std::make_unique<MidiOutlet>(backend_, kOutputClientName);
    if (!output->Exists()) return false;
    output_ = std::move(output);
    output_->SetTraffic(&traffic_);
    if (!onVirtualUnit_[Index(MidiRole::Output)]) route_.SetTarget(output_.get());
    return true;
}

bool MidiLink::NeedsPortObjects() const {
    for (MidiRole role : {MidiRole::UnitInput, MidiRole::KeyboardInput, MidiRole::Output}) {
        if (settings_.WantsNoPort(role)) continue;
        // The virtual Orvo plays no keys: the keyboard input takes the name as any other.
        if (role == MidiRole::KeyboardInput ||
            settings_.Name(role) != std::string_view(VirtualOrvoPort::kPortName))
            return true;
    }
    return false;
}

std::vector<std::string> MidiLink::NameList(MidiPort& port, const char* ownClient,
                                            const char* ownPort, bool ownOpen) {
    std::vector<std::string> names{MidiSettings::kOff};
    const unsigned count = port.PortCount();
    for (unsigned i = 0; i < count; ++i) {
        std::string name = port.PortName(i);
        // The back end lists the program's own open ports too; nobody picks those.
        if (ownOpen && IsOwnPortName(name, ownClient, ownPort)) continue;
        names.push_back(std::move(name));
    }
    return names;
}

void MidiLink::ListMidiPorts() {
    if (!unitInput_ || !output_) {
        inputNames_ = {MidiSettings::kOff};
        outputNames_ = {MidiSettings::kOff};
    } else {
        const bool inputOpen = unitInput_->IsOpen() || (keyboardInput_ && keyboardInput_->IsOpen());
        inputNames_ = NameList(*unitInput_, kOutputClientName, kOutputPortName, output_->IsOpen());
        outputNames_ = NameList(*output_, kInputClientName, kInputPortName, inputOpen);
    }
    inputNames_.emplace_back(VirtualOrvoPort::kPortName);
    outputNames_.emplace_back(VirtualOrvoPort::kPortName);
}

MidiPort* MidiLink::PortOf(MidiRole role) {
    switch (role) {
        case MidiRole::UnitInput:
            return unitInput_.get();
        case MidiRole::KeyboardInput:
            return keyboardInput_.get();
        case MidiRole::Output:
            break;
    }
    return output_.get();
}

int MidiLink::FindPort(MidiPort* port, const char* name) {
    if (std::strcmp(name, MidiSettings::kOff) == 0) return 0;
    if (port == nullptr) return -1;
    std::vector<std::string> names;
    const unsigned count = port->PortCount();
    for (unsigned i = 0; i < count; ++i)
        names.push_back(port->PortName(i));
    const int found = FindStoredPort(name, names);
    return found < 0 ? -1 : found + 1;
}

int MidiLink::FindInputPort(MidiRole role, const char* name) {
    return FindPort(role == MidiRole::KeyboardInput ? keyboardInput_.get() : unitInput_.get(),
                    name);
}

int MidiLink::FindOutputPort(const char* name) {
    return FindPort(output_.get(), name);
}

bool MidiLink::OpenOnVirtualUnit(MidiRole role) {
    if (MidiPort* port = PortOf(role)) port->Close();
    if (!virtualUnit_) {
        virtualUnit_ = std::make_unique<VirtualOrvoPort>(virtualUnitFolder_);
        virtualUnit_->SetTraffic(&traffic_);
    }
    if (role == MidiRole::UnitInput) {
        virtualUnit_->SetHandler(
            [this](const uint8_t* bytes, size_t size) { OnUnitInput(bytes, size); });
    } else {
        route_.SetTarget(virtualUnit_.get());
    }
    onVirtualUnit_[Index(role)] = true;
    openedNames_[Index(role)] = VirtualOrvoPort::kPortName;
    return true;
}

void MidiLink::LeaveVirtualUnit(MidiRole role) {
    if (!onVirtualUnit_[Index(role)]) return;
    onVirtualUnit_[Index(role)] = false;
    openedNames_[Index(role)].clear();
    if (role == MidiRole::UnitInput) {
        virtualUnit_->CancelHandler();
    } else {
        route_.SetTarget(output_.get());
    }
}

bool MidiLink::OpenByName(MidiRole role, const char* name) {
    // The name may be the record's own field, which the steps below overwrite.
    const std::string wanted = name;
    // The virtual Orvo answers on the unit input and listens on the output; it plays no keys.
    if (wanted == VirtualOrvoPort::kPortName && role != MidiRole::KeyboardInput)
        return OpenOnVirtualUnit(role);
    LeaveVirtualUnit(role);
    int number = role == MidiRole::Output ? FindOutputPort(wanted.c_str())
                                          : FindInputPort(role, wanted.c_str());
    if (number == -1) {
        // A port the user chose stays chosen while it is missing (a unit switched off, a cable
        // out): the role waits closed and RescanPorts opens it when the port is back. Only a
        // name nobody chose is given up.
        if (settings_.WantsNoPort(role)) {
            settings_.SetName(role, MidiSettings::kOff);
            if (writeSettings_) writeSettings_();
        }
        number = 0;
    }
    MidiPort* port = PortOf(role);
    openedNames_[Index(role)].clear();
    if (port == nullptr) return false;
    port->Close();
    if (number == 0) return true;
    const char* portName = role == MidiRole::Output ? kOutputPortName : kInputPortName;
    const std::string openedName = port->PortName(static_cast<unsigned>(number - 1));
    if (role == MidiRole::Output) {
        output_->SetPacing(
            MidiOutlet::PacingFor(output_->MidiPort::Backend(), settings_.fastInterface));
    }
    if (port->Open(static_cast<unsigned>(number - 1), portName)) {
        openedNames_[Index(role)] = openedName;
        return true;
    }
    // The role stays closed and the program goes on; the record keeps the name, so the next
    // start tries the port again.
    DebugPrint("could not open MIDI port \"%s\": %s", wanted.c_str(), port->LastError().c_str());
    return false;
}

bool MidiLink::OpenUnitInput(const char* name) {
    return OpenByName(MidiRole::UnitInput, name);
}

bool MidiLink::OpenKeyboardInput(const char* name) {
    return OpenByName(MidiRole::KeyboardInput, name);
}

bool MidiLink::OpenOutput(const char* name) {
    return OpenByName(MidiRole::Output, name);
}

bool MidiLink::OpenRole(MidiRole role) {
    return OpenByName(role, settings_.Name(role));
}

bool MidiLink::IsRoleOpen(MidiRole role) {
    if (onVirtualUnit_[Index(role)]) return true;
    MidiPort* port = PortOf(role);
    return port != nullptr && port->IsOpen();
}

const std::vector<std::string>& MidiLink::ListOf(MidiRole role) const {
    return role == MidiRole::Output ? outputNames_ : inputNames_;
}

namespace {
const char* RoleTitle(MidiRole role) {
    switch (role) {
        case MidiRole::UnitInput:
            return "Orvo input";
        case MidiRole::KeyboardInput:
            return "Keyboard input";
        case MidiRole::Output:
            break;
    }
    return "Output";
}
}  // namespace

bool MidiLink::RescanPorts() {
    if (!unitInput_ || !output_) return false;
    const std::vector<std::string> inputs = inputNames_;
    const std::vector<std::string> outputs = outputNames_;
    ListMidiPorts();
    const bool changed = inputs != inputNames_ || outputs != outputNames_;
    for (MidiRole role : {MidiRole::UnitInput, MidiRole::KeyboardInput, MidiRole::Output})
        FollowPort(role, changed);
    return changed;
}

void MidiLink::FollowPort(MidiRole role, bool listsChanged) {
    if (onVirtualUnit_[Index(role)]) return;
    std::string& opened = openedNames_[Index(role)];
    if (!opened.empty()) {
        const std::vector<std::string>& listed = ListOf(role);
        if (std::find(listed.begin(), listed.end(), opened) != listed.end()) return;
        // The port went away under the open role (cable out, unit off); closing it now lets
        // the role open the port afresh when it comes back.
        if (MidiPort* port = PortOf(role)) port->Close();
        portNotes_.push_back(std::string(RoleTitle(role)) + " \"" + opened + "\" is gone");
        opened.clear();
        // An interface plugged in again within one rescan comes back under new numbers.
    }
    // A closed role looks for its port only when the lists changed, so a port that refuses to
    // open is not tried every second.
    if (!listsChanged || settings_.WantsNoPort(role)) return;
    const char* wanted = settings_.Name(role);
    if (FindStoredPort(wanted, ListOf(role)) < 0) return;
    if (OpenByName(role, wanted) && !opened.empty()) {
        portNotes_.push_back(std::string(RoleTitle(role)) + " \"" + opened + "\" opened");
    }
}

std::vector<std::string> MidiLink::TakePortNotes() {
    std::vector<std::string> notes;
    notes.swap(portNotes_);
    return notes;
}

bool MidiLink::PassesChannel(MidiRole role, uint8_t status) const {
    const uint16_t channel = settings_.Channel(role);
    return channel == 0 || channel == (status & 0x0F) + 1;
}

namespace {
MidiMessage ShortMessage(const uint8_t* bytes, size_t size) {
    MidiMessage message;
    message.status = bytes[0];
    message.data1 = size > 1 ? bytes[1] : 0;
    message.data2 = size > 2 ? bytes[2] : 0;
    return message;
}
}  // namespace

void MidiLink::NoteUnitAnswer() {
    lastUnitAnswerMs_.store(MidiTrafficQueue::NowMs());
}

void MidiLink::OnUnitInput(const uint8_t* bytes, size_t size) {
    PluginBase* plugin = plugin_.load();
    if (size == 0 || bytes == nullptr || plugin == nullptr) return;
    traffic_.Put(MidiRole::UnitInput, MidiTrafficQueue::Direction::In, bytes, size);
    if (bytes[0] == kSysExStart) {
        lastUnitAnswerMs_.store(MidiTrafficQueue::NowMs());
        SysExMessage message;
        message.size = static_cast<int32_t>(size);
        message.bytes = bytes;
        plugin->HandleSysEx(message);
        return;
    }
    if (!PassesChannel(MidiRole::UnitInput, bytes[0])) return;
    plugin->HandleMidiMessage(ShortMessage(bytes, size));
}

void MidiLink::OnKeyboardInput(const uint8_t* bytes, size_t size) {
    PluginBase* plugin = plugin_.load();
    if (size == 0 || bytes == nullptr || plugin == nullptr) return;
    traffic_.Put(MidiRole::KeyboardInput, MidiTrafficQueue::Direction::In, bytes, size);
    if (bytes[0] == kSysExStart) {
        DebugPrint("NOT EXPECTING %d midi callback msg len\n", static_cast<int>(size));
        return;
    }
    if (!PassesChannel(MidiRole::KeyboardInput, bytes[0])) return;
    plugin->HandleKeyboardMessage(ShortMessage(bytes, size));
}

void MidiLink::CloseAll() {
    LeaveVirtualUnit(MidiRole::UnitInput);
    LeaveVirtualUnit(MidiRole::Output);
    route_.SetTarget(nullptr);
    if (unitInput_) unitInput_->CancelHandler();
    if (keyboardInput_) keyboardInput_->CancelHandler();
    if (unitInput_) unitInput_->Close();
    if (keyboardInput_) keyboardInput_->Close();
    if (output_) output_->Close();
    for (std::string& opened : openedNames_)
        opened.clear();
}

void MidiLink::DeletePorts() {
    route_.SetTarget(nullptr);
    virtualUnit_.reset();
    unitInput_.reset();
    keyboardInput_.reset();
    output_.reset();
}
