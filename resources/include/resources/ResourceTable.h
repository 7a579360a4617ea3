#pragma once

// The resources compiled into the program, by id. The build embeds each file named here (paths
// from the repository's top folder; resources/CMakeLists.txt reads the entries of this header),
// the artwork generator draws the images to these sizes, and a test holds the files to them.
namespace resources {

struct ImageResource {
    int id;
    const char* name;
    int frames;  // stacked vertically
    int width;   // whole strip, in pixels, drawn at twice the panel's resolution
    int height;
    bool opaque;  // RGB without alpha; every other image is RGBA
};

// clang-format off
inline constexpr ImageResource kImageResources[] = {
    {102, "resources/img/background-2x.png",       1, 2048,  1600, true},
    {103, "resources/img/about-2x.png",            1, 2048,  1660, false},
    {104, "resources/img/keys-2x.png",            12,  196,  1680, false},
    {105, "resources/img/bgkb-2x.png",             1,  196,   140, false},
    {106, "resources/img/vslideryellow-2x.png",  128,   64, 51200, false},
    {107, "resources/img/vsliderred-2x.png",     128,   64, 51200, false},
    {108, "resources/img/knobwhite-2x.png",       31,   64,  1984, false},
    {109, "resources/img/fopen-2x.png",            1,  162,    32, false},
    {110, "resources/img/invisbtn-2x.png",         2,   48,    96, false},
    {111, "resources/img/fxbgbypass-2x.png",       1,  980,   312, false},
    {112, "resources/img/fxbgmod-2x.png",          1,  980,   312, false},
    {113, "resources/img/fxbgdrive-2x.png",        1,  980,   312, false},
    {114, "resources/img/fxbgeq-2x.png",           1,  980,   312, false},
    {115, "resources/img/titlebassvcf-2x.png",     1,  118,    12, false},
    {116, "resources/img/fwriteall-2x.png",        2,  162,    64, false},
    {117, "resources/img/sevenseg-2x.png",       100,   80,  6000, false},
    {118, "resources/img/vsliderred2-2x.png",      2,   64,   800, false},
    {119, "resources/img/vsliderred4-2x.png",      4,   64,  1600, false},
    {120, "resources/img/logo-2x.png",             1,   64,   128, false},
    {121, "resources/img/knobwhite4-2x.png",       4,   64,   256, false},
    {122, "resources/img/knobwhite5-2x.png",       5,   64,   320, false},
    {123, "resources/img/knobwhite13-2x.png",     13,   64,   832, false},
    {124, "resources/img/knobwhite17-2x.png",     17,   64,  1088, false},
    {125, "resources/img/copy-2x.png",             2,  120,   220, false},
    {126, "resources/img/default-2x.png",          2,  112,    64, false},
    {127, "resources/img/random-2x.png",           2,  112,    64, false},
    {128, "resources/img/reset-2x.png",            2,  112,    64, false},
    {129, "resources/img/selectall-2x.png",        2,   84,   100, false},
    {130, "resources/img/clearall-2x.png",         2,   84,   100, false},
    {131, "resources/img/checkbox-2x.png",         2,   24,    48, false},
    {132, "resources/img/fxbgeq2-2x.png",          1,  980,   312, false},
    {133, "resources/img/button-2x.png",           2,   40,    80, false},
};

// clang-format on

// Raw data resource 101, the user guide (Resources.h), is no file of this folder: the build makes
// it from docs/userguide.md with pictures that render-panel draws of the panel.

}  // namespace resources
