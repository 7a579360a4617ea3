#pragma once

#include <cstdint>

#include "plugin/StandalonePlugin.h"

// Panel-side parameter indices; the unit's own parameters are 3..124 (UnitParameters.h).
enum PanelParam : int {
    kParamProgramLoadFile = 131,
    kParamProgramSaveFile = 132,
    kParamProgramWriteFile = 133,
    kParamWriteAll = 134,
    kParamFirmwareFile = 135,
    kParamPreviousProgram = 136,
    kParamNextProgram = 137,
    kParamSevenSegment = 138,
    kParamSectionCopy = 139,
    kParamSectionDefault = 140,
    kParamSectionRandom = 141,
    kParamSectionReset = 142,
    kParamSelectAllSections = 143,
    kParamClearAllSections = 144,
    kParamCopyFromVco1 = 145,
    kParamCopyToVco1 = 149,
    kParamFirstSectionSwitch = 153,
    kParamPgEq = 161,
    kParamParametricEqView = 162,
    kParamParagraphicEqView = 163,
    kParamMidiLearn = 164,
    kParamMidiForget = 165,
    kParamMidiForgetAll = 166,
};

// The Orvo editor: the unit's parameters, and everything the panel does with them.
class OrvoEditor : public StandalonePlugin {
public:
    OrvoEditor(MidiOutputPort* output, const uint16_t* outputChannel);

private:
    void RegisterParameters();
};
