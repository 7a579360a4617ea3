#include "editor/OrvoEditor.h"

#include "editor/UnitParameters.h"

OrvoEditor::OrvoEditor(MidiOutputPort* output, const uint16_t* outputChannel)
    : StandalonePlugin(output, outputChannel) {
    RegisterParameters();
    CaptureDefaultSnapshot();
}

void OrvoEditor::RegisterParameters() {
    for (int position = 0; position < kUnitParamCount; ++position) {
        const UnitParameter& unit = *UnitParameterAt(position);
        InitIntParam(*GetParam(ParamIndexOfPosition(position)), unit.name, unit.defaultValue,
                     unit.minimum, unit.maximum);
    }
    // Switches are doubles read as "on" above 0.5.
    auto initSwitch = [this](int index, const char* name) {
        InitParam(*GetParam(index), name, 0.0, 0.0, 1.0, 0.001, 1.0);
    };
    for (int s = 0; s < kSectionCount; ++s) {
        initSwitch(kParamFirstSectionSwitch + s, SectionName(static_cast<UnitSection>(s)));
    }
    InitIntParam(*GetParam(kParamPgEq), "PGEq", 0, 0, 3);
    initSwitch(kParamWriteAll, "WriteAll");
    InitIntParam(*GetParam(kParamSevenSegment), "7 segment display", 0, 0, 99);
    initSwitch(kParamParametricEqView, "4 Band Parametric Equalizer");
    initSwitch(kParamParagraphicEqView, "4 Band Paragraphic Equalizer");
}
