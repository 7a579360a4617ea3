#pragma once

#include <string>
#include <utility>
#include <vector>

#include "midi/MidiRoles.h"
#include "midi/MidiSettings.h"

// The MIDI link as the dialog sees it: fixed lists, and a record of every re-opening with the
// name the settings held at that moment.
class FakeRoles : public MidiRoles {
public:
    explicit FakeRoles(MidiSettings& settings) : settings_(settings) {}
    bool HasPortObjects() const override { return hasObjects; }
    const std::vector<std::string>& InputNames() const override { return inputs; }
    const std::vector<std::string>& OutputNames() const override { return outputs; }
    bool OpenRole(MidiRole role) override {
        opened.emplace_back(role, settings_.Name(role));
        return true;
    }

    bool RescanPorts() override {
        const bool changed = listsChanged;
        listsChanged = false;
        return changed;
    }
    MidiBackend Backend() const override { return MidiBackend::Jack; }
    void NoteUnitAnswer() override { ++unitAnswers; }

    bool hasObjects = true;
    bool listsChanged = false;
    int unitAnswers = 0;
    std::vector<std::string> inputs{"off", "Orvo:MIDI 1", "Keys:out"};
    std::vector<std::string> outputs{"off", "Orvo:MIDI 1", "Other:in"};
    std::vector<std::pair<MidiRole, std::string>> opened;

private:
    MidiSettings& settings_;
};
