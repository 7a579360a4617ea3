#pragma once

// How a control's pixels meet what lies under them; weight 1.0 is opaque.
enum BlendMethod : int {
    kBlendNone = 0,        // copy through the source alpha
    kBlendClobber = 1,     // plain copy, source alpha ignored
    kBlendAdd = 2,         // additive through the source alpha
    kBlendColorDodge = 3,  // colour dodge through the source alpha
};

struct Blend {
    int method = kBlendNone;
    float weight = 1.0f;
};
