#include "gui/ContactControl.h"

void ContactControl::OnRelease(int x, int y, const MouseKeys& keys) {
    (void)x;
    (void)y;
    (void)keys;
    value_ = 0.0;
    MarkDirty(true);
}
