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

struct ImageResource {
    ImageId id;
    const char* name;
    int frames;  // stacked vertically
    int width;   // whole strip, in pixels, drawn at twice the panel's resolution
    int height;
    bool opaque;  // RGB without alpha; every other image is RGBA
};

// clang-format off
inline constexpr ImageResource kImageResources[] = {
    {kImageBackground,          "resources/img/background-2x.png",       1, 2048,  1600, true},
    {kImageAbout,               "resources/img/about-2x.png",            1, 2048,  1660, false},
    {kImageKeys,                "resources/img/keys-2x.png",            12,  196,  1680, false},
    {kImageKeyboardBackground,  "resources/img/bgkb-2x.png",             1,  196,   140, false},
    {kImageFaderYellow,         "resources/img/vslideryellow-2x.png",  128,   64, 51200, false},
    {kImageFaderRed,            "resources/img/vsliderred-2x.png",     128,   64, 51200, false},
    {kImageKnob,                "resources/img/knobwhite-2x.png",       31,   64,  1984, false},
    {kImageFileOpen,            "resources/img/fopen-2x.png",            1,  162,    32, false},
    {kImageInvisibleButton,     "resources/img/invisbtn-2x.png",         2,   48,    96, false},
    {kImageEffectBypass,        "resources/img/fxbgbypass-2x.png",       1,  980,   312, false},
    {kImageEffectChorus,        "resources/img/fxbgmod-2x.png",          1,  980,   312, false},
    {kImageEffectDrive,         "resources/img/fxbgdrive-2x.png",        1,  980,   312, false},
    {kImageEffectEqKnobs,       "resources/img/fxbgeq-2x.png",           1,  980,   312, false},
    {kImageBlendTitle,          "resources/img/titlebassvcf-2x.png",     1,  118,    12, false},
    {kImageWriteAll,            "resources/img/fwriteall-2x.png",        2,  162,    64, false},
    {kImageSevenSegment,        "resources/img/sevenseg-2x.png",       100,   80,  6000, false},
    {kImageFaderRed2,           "resources/img/vsliderred2-2x.png",      2,   64,   800, false},
    {kImageFaderRed4,           "resources/img/vsliderred4-2x.png",      4,   64,  1600, false},
    {kImageLogo,                "resources/img/logo-2x.png",             1,   64,   128, false},
    {kImageKnob4,               "resources/img/knobwhite4-2x.png",       4,   64,   256, false},
    {kImageKnob5,               "resources/img/knobwhite5-2x.png",       5,   64,   320, false},
    {kImageKnob13,              "resources/img/knobwhite13-2x.png",     13,   64,   832, false},
    {kImageKnob17,              "resources/img/knobwhite17-2x.png",     17,   64,  1088, false},
    {kImageCopy,                "resources/img/copy-2x.png",             2,  120,   220, false},
    {kImageDefault,             "resources/img/default-2x.png",          2,  112,    64, false},
    {kImageRandom,              "resources/img/random-2x.png",           2,  112,    64, false},
    {kImageReset,               "resources/img/reset-2x.png",            2,  112,    64, false},
    {kImageSelectAll,           "resources/img/selectall-2x.png",        2,   84,   100, false},
    {kImageClearAll,            "resources/img/clearall-2x.png",         2,   84,   100, false},
    {kImageCheckBox,            "resources/img/checkbox-2x.png",         2,   24,    48, false},
    {kImageEffectEqGraph,       "resources/img/fxbgeq2-2x.png",          1,  980,   312, false},
    {kImageButton,              "resources/img/button-2x.png",           2,   40,    80, false},
};

// clang-format on

// Raw data resource 101, the user guide (Resources.h), is no file of this folder: the build makes
// it from docs/userguide.md with pictures that render-panel draws of the panel.

}  // namespace resources
