#pragma once

#include <cstdint>

// The Orvo's 122 sound and performance parameters, numbered by their position on the unit
// (0..121), plus position 122, the address that brackets bulk changes. Parameter index =
// position + 3 for the unit's parameters.

enum UnitSection : int8_t {
    kSectionNone = -1,
    kSectionVco1 = 0,
    kSectionVco2,
    kSectionVco3,
    kSectionVco4,
    kSectionFilter,
    kSectionEnvLfo,
    kSectionHarmDist,
    kSectionEffect,
};

constexpr int kSectionCount = 8;
constexpr int kUnitParamCount = 122;
constexpr int kFirstUnitParamIndex = 3;
constexpr int kUpdateBracketPosition = 122;
constexpr int kEffectTypePosition = 89;

// The effect the unit applies, as "EFFECT Type" holds it.
enum EffectType : int {
    kEffectOff = 0,
    kEffectChorus = 1,
    kEffectOverdrive = 2,
    kEffectEqualizer = 3,
};

// Where each effect's parameters start among the positions; all three overlay the unit's
// addresses 21/2 onward.
constexpr int kChorusFirstPosition = 90;
constexpr int kChorusCount = 14;
constexpr int kOverdriveFirstPosition = 104;
constexpr int kOverdriveCount = 4;
constexpr int kEqualizerFirstPosition = 108;
constexpr int kEqualizerCount = 14;

// The effect whose overlay a position belongs to; kEffectOff for the positions before them,
// which the unit takes whatever its effect.
constexpr int OverlayEffect(int position) {
    if (position >= kEqualizerFirstPosition) return kEffectEqualizer;
    if (position >= kOverdriveFirstPosition) return kEffectOverdrive;
    if (position >= kChorusFirstPosition) return kEffectChorus;
    return kEffectOff;
}

struct UnitParameter {
    const char* name;
    int16_t minimum;
    int16_t maximum;
    int16_t defaultValue;
    // Added to a value on the wire so that the unit always sees 0..127.
    uint8_t wireOffset;
    // The non-registered parameter number the unit listens to for this position.
    uint8_t addressMsb;
    uint8_t addressLsb;
    UnitSection section;
};

// The record for positions 0..122, or null outside.
const UnitParameter* UnitParameterAt(int position);

// Position for a parameter index: index - 3 below 126, the index itself from 126 on.
constexpr int UnitPosition(int index) {
    return index < 126 ? index - 3 : index;
}
constexpr int ParamIndexOfPosition(int position) {
    return position + kFirstUnitParamIndex;
}

// Lookups by position 0..122; zero outside.
int WireOffset(int position);
int AddressMsb(int position);
int AddressLsb(int position);
int PositionMinimum(int position);
int PositionMaximum(int position);

// The position an address names when "EFFECT Type" holds effectType: the effect addresses
// 21/2..21/15 name the parameters of that effect. -1 for an address no position has, or an
// effect address while the effect is off.
int PositionOfAddress(int msb, int lsb, int effectType);

// The word the panel shows for a value of a worded parameter, or null where it shows the number.
const char* DisplayWord(int position, int value);

// The oscillators' PWM LFO frequencies: their parameters start at 1, but random values and
// learned controller ranges for them start at 0 (setting a 0 clamps it to 1).
constexpr bool IsPwmLfoFrequency(int position) {
    return position == 6 || position == 18 || position == 30 || position == 42;
}

// The check boxes that select the sections for the default, random and reset buttons are the
// parameters from here on, one a section in UnitSection's order.
constexpr int kParamFirstSectionSwitch = 153;
constexpr int SectionSwitchIndex(UnitSection section) {
    return kParamFirstSectionSwitch + section;
}
const char* SectionName(UnitSection section);
