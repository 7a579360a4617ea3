#include "editor/PanelPlaces.h"

#include <array>
#include <cstddef>

#include "resources/ResourceTable.h"
#include "unit/UnitParameters.h"

namespace {

// clang-format off
// control, image, top-left, gearing, value text (left, top, right, bottom)
constexpr std::array<PositionPlace, kUnitParamCount> kPositionPlaces = {{
    {kPlaceKnob,    resources::kImageFaderYellow, { 25,  76},  1.0f, { 17, 121,   65, 137}},  // 0
    {kPlaceKnob,    resources::kImageFaderYellow, { 65,  76},  1.0f, { 57, 121,  105, 137}},  // 1
    {kPlaceKnob,    resources::kImageFaderYellow, {105,  76},  1.0f, { 97, 121,  145, 137}},  // 2
    {kPlaceKnob,    resources::kImageFaderYellow, {145,  76},  1.0f, {137, 121,  185, 137}},  // 3
    {kPlaceKnob,    resources::kImageFaderYellow, {185,  76},  1.0f, {177, 121,  225, 137}},  // 4
    {kPlaceKnob,    resources::kImageFaderYellow, {225,  76},  1.0f, {217, 121,  265, 137}},  // 5
    {kPlaceKnob,    resources::kImageFaderYellow, {265,  76},  1.0f, {257, 121,  305, 137}},  // 6
    {kPlaceKnob,    resources::kImageFaderYellow, {305,  76},  1.0f, {297, 121,  345, 137}},  // 7
    {kPlaceKnob,    resources::kImageFaderYellow, {345,  76},  1.0f, {337, 121,  385, 137}},  // 8
    {kPlaceKnob,    resources::kImageFaderYellow, {385,  76},  1.0f, {377, 121,  425, 137}},  // 9
    {kPlaceKnob,    resources::kImageFaderYellow, {425,  76},  1.0f, {417, 121,  465, 137}},  // 10
    {kPlaceKnob,    resources::kImageFaderYellow, {465,  76},  1.0f, {457, 121,  505, 137}},  // 11
    {kPlaceKnob,    resources::kImageFaderYellow, { 25, 233},  1.0f, { 17, 278,   65, 294}},  // 12
    {kPlaceKnob,    resources::kImageFaderYellow, { 65, 233},  1.0f, { 57, 278,  105, 294}},  // 13
    {kPlaceKnob,    resources::kImageFaderYellow, {105, 233},  1.0f, { 97, 278,  145, 294}},  // 14
    {kPlaceKnob,    resources::kImageFaderYellow, {145, 233},  1.0f, {137, 278,  185, 294}},  // 15
    {kPlaceKnob,    resources::kImageFaderYellow, {185, 233},  1.0f, {177, 278,  225, 294}},  // 16
    {kPlaceKnob,    resources::kImageFaderYellow, {225, 233},  1.0f, {217, 278,  265, 294}},  // 17
    {kPlaceKnob,    resources::kImageFaderYellow, {265, 233},  1.0f, {257, 278,  305, 294}},  // 18
    {kPlaceKnob,    resources::kImageFaderYellow, {305, 233},  1.0f, {297, 278,  345, 294}},  // 19
    {kPlaceKnob,    resources::kImageFaderYellow, {345, 233},  1.0f, {337, 278,  385, 294}},  // 20
    {kPlaceKnob,    resources::kImageFaderYellow, {385, 233},  1.0f, {377, 278,  425, 294}},  // 21
    {kPlaceKnob,    resources::kImageFaderYellow, {425, 233},  1.0f, {417, 278,  465, 294}},  // 22
    {kPlaceKnob,    resources::kImageFaderYellow, {465, 233},  1.0f, {457, 278,  505, 294}},  // 23
    {kPlaceKnob,    resources::kImageFaderYellow, { 25, 390},  1.0f, { 17, 435,   65, 451}},  // 24
    {kPlaceKnob,    resources::kImageFaderYellow, { 65, 390},  1.0f, { 57, 435,  105, 451}},  // 25
    {kPlaceKnob,    resources::kImageFaderYellow, {105, 390},  1.0f, { 97, 435,  145, 451}},  // 26
    {kPlaceKnob,    resources::kImageFaderYellow, {145, 390},  1.0f, {137, 435,  185, 451}},  // 27
    {kPlaceKnob,    resources::kImageFaderYellow, {185, 390},  1.0f, {177, 435,  225, 451}},  // 28
    {kPlaceKnob,    resources::kImageFaderYellow, {225, 390},  1.0f, {217, 435,  265, 451}},  // 29
    {kPlaceKnob,    resources::kImageFaderYellow, {265, 390},  1.0f, {257, 435,  305, 451}},  // 30
    {kPlaceKnob,    resources::kImageFaderYellow, {305, 390},  1.0f, {297, 435,  345, 451}},  // 31
    {kPlaceKnob,    resources::kImageFaderYellow, {345, 390},  1.0f, {337, 435,  385, 451}},  // 32
    {kPlaceKnob,    resources::kImageFaderYellow, {385, 390},  1.0f, {377, 435,  425, 451}},  // 33
    {kPlaceKnob,    resources::kImageFaderYellow, {425, 390},  1.0f, {417, 435,  465, 451}},  // 34
    {kPlaceKnob,    resources::kImageFaderYellow, {465, 390},  1.0f, {457, 435,  505, 451}},  // 35
    {kPlaceKnob,    resources::kImageFaderYellow, { 25, 547},  1.0f, { 17, 592,   65, 608}},  // 36
    {kPlaceKnob,    resources::kImageFaderYellow, { 65, 547},  1.0f, { 57, 592,  105, 608}},  // 37
    {kPlaceKnob,    resources::kImageFaderYellow, {105, 547},  1.0f, { 97, 592,  145, 608}},  // 38
    {kPlaceKnob,    resources::kImageFaderYellow, {145, 547},  1.0f, {137, 592,  185, 608}},  // 39
    {kPlaceKnob,    resources::kImageFaderYellow, {185, 547},  1.0f, {177, 592,  225, 608}},  // 40
    {kPlaceKnob,    resources::kImageFaderYellow, {225, 547},  1.0f, {217, 592,  265, 608}},  // 41
    {kPlaceKnob,    resources::kImageFaderYellow, {265, 547},  1.0f, {257, 592,  305, 608}},  // 42
    {kPlaceKnob,    resources::kImageFaderYellow, {305, 547},  1.0f, {297, 592,  345, 608}},  // 43
    {kPlaceKnob,    resources::kImageFaderYellow, {345, 547},  1.0f, {337, 592,  385, 608}},  // 44
    {kPlaceKnob,    resources::kImageFaderYellow, {385, 547},  1.0f, {377, 592,  425, 608}},  // 45
    {kPlaceKnob,    resources::kImageFaderYellow, {425, 547},  1.0f, {417, 592,  465, 608}},  // 46
    {kPlaceKnob,    resources::kImageFaderYellow, {465, 547},  1.0f, {457, 592,  505, 608}},  // 47
    {kPlaceKnob,    resources::kImageFaderRed4,   {520, 390},  0.4f, {512, 435,  560, 451}},  // 48
    {kPlaceKnob,    resources::kImageFaderRed4,   {560, 390},  0.4f, {552, 435,  600, 451}},  // 49
    {kPlaceKnob,    resources::kImageFaderRed,    {600, 390},  1.0f, {592, 435,  640, 451}},  // 50
    {kPlaceKnob,    resources::kImageFaderRed,    {640, 390},  1.0f, {632, 435,  680, 451}},  // 51
    {kPlaceKnob,    resources::kImageFaderRed,    {680, 390},  1.0f, {672, 435,  720, 451}},  // 52
    {kPlaceKnob,    resources::kImageFaderRed,    {720, 390},  1.0f, {712, 435,  760, 451}},  // 53
    {kPlaceKnob,    resources::kImageFaderRed,    {760, 390},  1.0f, {752, 435,  800, 451}},  // 54
    {kPlaceKnob,    resources::kImageFaderRed,    {800, 390},  1.0f, {792, 435,  840, 451}},  // 55
    {kPlaceKnob,    resources::kImageFaderRed,    {920, 233},  1.0f, {912, 278,  960, 294}},  // 56
    {kPlaceKnob,    resources::kImageFaderRed,    {960, 233},  1.0f, {952, 278, 1000, 294}},  // 57
    {kPlaceKnob,    resources::kImageFaderRed,    {520, 233},  1.0f, {512, 278,  560, 294}},  // 58
    {kPlaceKnob,    resources::kImageFaderRed,    {560, 233},  1.0f, {552, 278,  600, 294}},  // 59
    {kPlaceKnob,    resources::kImageFaderRed,    {600, 233},  1.0f, {592, 278,  640, 294}},  // 60
    {kPlaceKnob,    resources::kImageFaderRed,    {640, 233},  1.0f, {632, 278,  680, 294}},  // 61
    {kPlaceKnob,    resources::kImageFaderRed,    {680, 233},  1.0f, {672, 278,  720, 294}},  // 62
    {kPlaceKnob,    resources::kImageFaderRed,    {720, 233},  1.0f, {712, 278,  760, 294}},  // 63
    {kPlaceKnob,    resources::kImageFaderRed,    {520,  76},  1.0f, {512, 121,  560, 137}},  // 64
    {kPlaceKnob,    resources::kImageFaderRed,    {560,  76},  1.0f, {552, 121,  600, 137}},  // 65
    {kPlaceKnob,    resources::kImageFaderRed,    {600,  76},  1.0f, {592, 121,  640, 137}},  // 66
    {kPlaceKnob,    resources::kImageFaderRed,    {640,  76},  1.0f, {632, 121,  680, 137}},  // 67
    {kPlaceKnob,    resources::kImageFaderRed,    {680,  76},  1.0f, {672, 121,  720, 137}},  // 68
    {kPlaceKnob,    resources::kImageFaderRed,    {720,  76},  1.0f, {712, 121,  760, 137}},  // 69
    {kPlaceKnob,    resources::kImageFaderRed,    {760,  76},  1.0f, {752, 121,  800, 137}},  // 70
    {kPlaceKnob,    resources::kImageFaderRed,    {800,  76},  1.0f, {792, 121,  840, 137}},  // 71
    {kPlaceKnob,    resources::kImageFaderRed,    {840,  76},  1.0f, {832, 121,  880, 137}},  // 72
    {kPlaceKnob,    resources::kImageFaderRed,    {880,  76},  1.0f, {872, 121,  920, 137}},  // 73
    {kPlaceKnob,    resources::kImageFaderRed2,   {920,  76},  0.1f, {912, 121,  960, 137}},  // 74
    {kPlaceKnob,    resources::kImageKnob5,       {877,  28},  4.0f, {869,  14,  917,  30}},  // 75
    {kPlaceKnob,    resources::kImageKnob,        {965,  28},  4.0f, {957,  14, 1005,  30}},  // 76
    {kPlaceSwitch,  resources::kImageButton,      {931,  33},  0.0f, {917,  14,  965,  30}},  // 77
    {kPlaceKnob,    resources::kImageKnob,        {627,  28},  4.0f, {619,  14,  667,  30}},  // 78
    {kPlaceSwitch,  resources::kImageButton,      {673,  33},  0.0f, {659,  14,  707,  30}},  // 79
    {kPlaceNone,      0, {  0,   0},  0.0f, {463,  14,  511,  30}},  // 80
    {kPlaceKnob,    resources::kImageKnob13,      {483,  28},  4.0f, {475,  14,  523,  30}},  // 81
    {kPlaceKnob,    resources::kImageKnob4,       {543,  28},  4.0f, {535,  14,  583,  30}},  // 82
    {kPlaceSwitch,  resources::kImageButton,      {750,  33},  0.0f, {736,  14,  784,  30}},  // 83
    {kPlaceKnob,    resources::kImageKnob4,       {784,  28},  4.0f, {776,  14,  824,  30}},  // 84
    {kPlaceKnob,    resources::kImageFaderRed,    {760, 233},  1.0f, {752, 278,  800, 294}},  // 85
    {kPlaceKnob,    resources::kImageFaderRed,    {800, 233},  1.0f, {792, 278,  840, 294}},  // 86
    {kPlaceKnob,    resources::kImageFaderRed,    {840, 233},  1.0f, {832, 278,  880, 294}},  // 87
    {kPlaceKnob,    resources::kImageFaderRed,    {880, 233},  1.0f, {872, 278,  920, 294}},  // 88
    {kPlaceKnob,    resources::kImageFaderRed4,   {869, 390},  0.4f, {861, 435,  909, 451}},  // 89
    {kPlaceKnob,    resources::kImageFaderRed,    {925, 390},  1.0f, {917, 435,  965, 451}},  // 90
    {kPlaceKnob,    resources::kImageFaderRed,    {965, 390},  1.0f, {957, 435, 1005, 451}},  // 91
    {kPlaceKnob,    resources::kImageFaderRed,    {520, 547},  1.0f, {512, 592,  560, 608}},  // 92
    {kPlaceKnob,    resources::kImageFaderRed,    {560, 547},  1.0f, {552, 592,  600, 608}},  // 93
    {kPlaceKnob,    resources::kImageFaderRed,    {600, 547},  1.0f, {592, 592,  640, 608}},  // 94
    {kPlaceKnob,    resources::kImageFaderRed,    {640, 547},  1.0f, {632, 592,  680, 608}},  // 95
    {kPlaceKnob,    resources::kImageFaderRed,    {680, 547},  1.0f, {672, 592,  720, 608}},  // 96
    {kPlaceKnob,    resources::kImageFaderRed,    {720, 547},  1.0f, {712, 592,  760, 608}},  // 97
    {kPlaceKnob,    resources::kImageFaderRed,    {760, 547},  1.0f, {752, 592,  800, 608}},  // 98
    {kPlaceKnob,    resources::kImageFaderRed,    {800, 547},  1.0f, {792, 592,  840, 608}},  // 99
    {kPlaceKnob,    resources::kImageFaderRed,    {840, 547},  1.0f, {832, 592,  880, 608}},  // 100
    {kPlaceKnob,    resources::kImageFaderRed,    {880, 547},  1.0f, {872, 592,  920, 608}},  // 101
    {kPlaceKnob,    resources::kImageFaderRed,    {920, 547},  1.0f, {912, 592,  960, 608}},  // 102
    {kPlaceKnob,    resources::kImageFaderRed,    {960, 547},  1.0f, {952, 592, 1000, 608}},  // 103
    {kPlaceKnob,    resources::kImageFaderRed2,   {925, 390},  0.1f, {917, 435,  965, 451}},  // 104
    {kPlaceKnob,    resources::kImageFaderRed2,   {965, 390},  0.1f, {957, 435, 1005, 451}},  // 105
    {kPlaceKnob,    resources::kImageFaderRed,    {520, 547},  1.0f, {512, 592,  560, 608}},  // 106
    {kPlaceKnob,    resources::kImageFaderRed,    {560, 547},  1.0f, {552, 592,  600, 608}},  // 107
    {kPlaceKnob,    resources::kImageFaderRed2,   {925, 390},  0.4f, {917, 435,  965, 451}},  // 108
    {kPlaceKnob,    resources::kImageFaderRed2,   {965, 390},  0.4f, {957, 435, 1005, 451}},  // 109
    {kPlaceKnob,    resources::kImageFaderRed,    {520, 547},  1.0f, {512, 592,  560, 608}},  // 110
    {kPlaceKnob,    resources::kImageFaderRed,    {560, 547},  1.0f, {552, 592,  600, 608}},  // 111
    {kPlaceKnob,    resources::kImageFaderRed,    {600, 547},  1.0f, {592, 592,  640, 608}},  // 112
    {kPlaceKnob,    resources::kImageFaderRed,    {640, 547},  1.0f, {632, 592,  680, 608}},  // 113
    {kPlaceKnob,    resources::kImageFaderRed,    {680, 547},  1.0f, {672, 592,  720, 608}},  // 114
    {kPlaceKnob,    resources::kImageFaderRed,    {720, 547},  1.0f, {712, 592,  760, 608}},  // 115
    {kPlaceKnob,    resources::kImageFaderRed,    {760, 547},  1.0f, {752, 592,  800, 608}},  // 116
    {kPlaceKnob,    resources::kImageFaderRed,    {800, 547},  1.0f, {792, 592,  840, 608}},  // 117
    {kPlaceKnob,    resources::kImageFaderRed,    {840, 547},  1.0f, {832, 592,  880, 608}},  // 118
    {kPlaceKnob,    resources::kImageFaderRed,    {880, 547},  1.0f, {872, 592,  920, 608}},  // 119
    {kPlaceKnob,    resources::kImageFaderRed,    {920, 547},  1.0f, {912, 592,  960, 608}},  // 120
    {kPlaceKnob,    resources::kImageFaderRed,    {960, 547},  1.0f, {952, 592, 1000, 608}},  // 121
}};
// clang-format on

}  // namespace

const PositionPlace* PositionPlaceAt(int position) {
    if (position < 0 || position >= kUnitParamCount) return nullptr;
    return &kPositionPlaces[static_cast<size_t>(position)];
}
