#pragma once

// The resources compiled into the program, by id. The build embeds each file named here (paths
// from the repository's top folder; resources/CMakeLists.txt reads the entries of this header),
// the artwork generator draws the images to these sizes, and a test holds the files to them.
namespace resources {

// The panel's images by name; the table below holds each one's file and shape.
// clang-format off
enum ImageId : int {
    kImageBackground          = 102,
    kImageAbout               = 103,
    kImageKeys                = 104,
    kImageKeyboardBackground  = 105,
    kImageFaderYellow         = 106,
    kImageFaderRed            = 107,
    kImageKnob                = 108,
    kImageFileOpen            = 109,
    kImageInvisibleButton     = 110,
    kImageEffectBypass        = 111,
    kImageEffectChorus        = 112,
    kImageEffectDrive         = 113,
    kImageEffectEqKnobs       = 114,
    kImageBlendTitle          = 115,
    kImageWriteAll            = 116,
    kImageSevenSegment        = 117,
    kImageFaderRed2           = 118,
    kImageFaderRed4           = 119,
    kImageLogo                = 120,
    kImageKnob4               = 121,
    kImageKnob5               = 122,
    kImageKnob13              = 123,
    kImageKnob17              = 124,
    kImageCopy                = 125,
    kImageDefault             = 126,
    kImageRandom              = 127,
    kImageReset               = 128,
    kImageSelectAll           = 129,
    kImageClearAll            = 130,
    kImageCheckBox            = 131,
    kImageEffectEqGraph       = 132,
    kImageButton              = 133,
};
// clang-format on

// Every image comes in two sets: at the panel's size, which zooms up to 100 % are drawn from, and
// at this many times that size for the larger zooms.
inline constexpr int kLargeImageFactor = 2;

struct ImageResource {
    ImageId id;
    const char* name;       // the file at the panel's size
    const char* largeName;  // the file at kLargeImageFactor times that
    int frames;             // stacked vertically
    int width;              // whole strip, in panel pixels (the large file: times the factor)
    int height;             // the file of a strip of N >= 2 frames: N pixels more, as shown
    bool opaque;            // RGB without alpha; every other image is RGBA
};

// clang-format off
inline constexpr ImageResource kImageResources[] = {
    {kImageBackground,          "resources/img/background.png",      "resources/img/background-2x.png",        1, 1024,   800, true},
    {kImageAbout,               "resources/img/about.png",           "resources/img/about-2x.png",             1, 1024,   830, false},
    {kImageKeys,                "resources/img/keys.png",            "resources/img/keys-2x.png",             12,   98,   840, false},
    {kImageKeyboardBackground,  "resources/img/bgkb.png",            "resources/img/bgkb-2x.png",              1,   98,    70, false},
    {kImageFaderYellow,         "resources/img/vslideryellow.png",   "resources/img/vslideryellow-2x.png",   128,   32, 25600, false},
    {kImageFaderRed,            "resources/img/vsliderred.png",      "resources/img/vsliderred-2x.png",      128,   32, 25600, false},
    {kImageKnob,                "resources/img/knobwhite.png",       "resources/img/knobwhite-2x.png",        31,   32,   992, false},
    {kImageFileOpen,            "resources/img/fopen.png",           "resources/img/fopen-2x.png",             1,   81,    16, false},
    {kImageInvisibleButton,     "resources/img/invisbtn.png",        "resources/img/invisbtn-2x.png",          2,   24,    48, false},
    {kImageEffectBypass,        "resources/img/fxbgbypass.png",      "resources/img/fxbgbypass-2x.png",        1,  490,   156, false},
    {kImageEffectChorus,        "resources/img/fxbgmod.png",         "resources/img/fxbgmod-2x.png",           1,  490,   156, false},
    {kImageEffectDrive,         "resources/img/fxbgdrive.png",       "resources/img/fxbgdrive-2x.png",         1,  490,   156, false},
    {kImageEffectEqKnobs,       "resources/img/fxbgeq.png",          "resources/img/fxbgeq-2x.png",            1,  490,   156, false},
    {kImageBlendTitle,          "resources/img/titlebassvcf.png",    "resources/img/titlebassvcf-2x.png",      1,   59,     6, false},
    {kImageWriteAll,            "resources/img/fwriteall.png",       "resources/img/fwriteall-2x.png",         2,   81,    32, false},
    {kImageSevenSegment,        "resources/img/sevenseg.png",        "resources/img/sevenseg-2x.png",        100,   40,  3000, false},
    {kImageFaderRed2,           "resources/img/vsliderred2.png",     "resources/img/vsliderred2-2x.png",       2,   32,   400, false},
    {kImageFaderRed4,           "resources/img/vsliderred4.png",     "resources/img/vsliderred4-2x.png",       4,   32,   800, false},
    {kImageLogo,                "resources/img/logo.png",            "resources/img/logo-2x.png",              1,   32,    64, false},
    {kImageKnob4,               "resources/img/knobwhite4.png",      "resources/img/knobwhite4-2x.png",        4,   32,   128, false},
    {kImageKnob5,               "resources/img/knobwhite5.png",      "resources/img/knobwhite5-2x.png",        5,   32,   160, false},
    {kImageKnob13,              "resources/img/knobwhite13.png",     "resources/img/knobwhite13-2x.png",      13,   32,   416, false},
    {kImageKnob17,              "resources/img/knobwhite17.png",     "resources/img/knobwhite17-2x.png",      17,   32,   544, false},
    {kImageCopy,                "resources/img/copy.png",            "resources/img/copy-2x.png",              2,   60,   110, false},
    {kImageDefault,             "resources/img/default.png",         "resources/img/default-2x.png",           2,   56,    32, false},
    {kImageRandom,              "resources/img/random.png",          "resources/img/random-2x.png",            2,   56,    32, false},
    {kImageReset,               "resources/img/reset.png",           "resources/img/reset-2x.png",             2,   56,    32, false},
    {kImageSelectAll,           "resources/img/selectall.png",       "resources/img/selectall-2x.png",         2,   42,    50, false},
    {kImageClearAll,            "resources/img/clearall.png",        "resources/img/clearall-2x.png",          2,   42,    50, false},
    {kImageCheckBox,            "resources/img/checkbox.png",        "resources/img/checkbox-2x.png",          2,   12,    24, false},
    {kImageEffectEqGraph,       "resources/img/fxbgeq2.png",         "resources/img/fxbgeq2-2x.png",           1,  490,   156, false},
    {kImageButton,              "resources/img/button.png",          "resources/img/button-2x.png",            2,   20,    40, false},
};

// clang-format on

// Raw data resource 101, the user guide (Resources.h), is no file of this folder: the build makes
// it from docs/userguide.md with pictures that render-panel draws of the panel.

}  // namespace resources
