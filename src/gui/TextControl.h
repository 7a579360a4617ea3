#pragma once

#include <mutex>
#include <string>

#include "gui/Control.h"

// A line of text in a rectangle: value texts, names, the status line. Unbound. Its text may be
// set from the MIDI input thread (the change handler runs there for incoming edits) while the
// GUI thread draws, so the text is kept under a lock of its own.
class TextControl : public Control {
public:
    TextControl(PluginBase* core, const Rect& rect, const TextStyle& style,
                const std::string& text = "");

    // Stores the text and marks the control dirty when it differs.
    void SetText(const std::string& text);
    std::string Text() const;

    // A text wider than the rectangle is drawn smaller until it fits, instead of running past
    // the rectangle's ends, where nothing would clear it when a shorter text follows.
    void SetShrinkToFit(bool on) { shrinkToFit_ = on; }

    void ApplyScale(double factor) override;
    bool Draw(Graphics& graphics) override;

private:
    TextStyle constructedStyle_;
    bool shrinkToFit_ = false;
    mutable std::mutex textLock_;
    std::string text_;
};
