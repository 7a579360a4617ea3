#include "gui/TextControl.h"

#include <algorithm>

#include "gui/Graphics.h"

TextControl::TextControl(PluginBase* core, const Rect& rect, const TextStyle& style,
                         const std::string& text)
    : Control(core, rect, -1), constructedStyle_(style), text_(text) {
    textStyle_ = style;
    ApplyScale(1.0);
}

void TextControl::SetText(const std::string& text) {
    std::lock_guard<std::mutex> hold(textLock_);
    if (text == text_) return;
    MarkDirty(false);
    text_ = text;
}

std::string TextControl::Text() const {
    std::lock_guard<std::mutex> hold(textLock_);
    return text_;
}

void TextControl::ApplyScale(double factor) {
    const int size = static_cast<int>(constructedStyle_.size * factor);
    // The cached font was made for the old size; the next draw looks up the right one.
    if (size != textStyle_.size) textStyle_.font = nullptr;
    textStyle_.size = size;
}

bool TextControl::Draw(Graphics& graphics) {
    const std::string text = Text();
    if (text.empty()) return true;
    if (!shrinkToFit_) return graphics.DrawText(textStyle_, text, drawRect_);
    Rect extent = drawRect_;
    if (!graphics.MeasureText(textStyle_, text, extent) || extent.Width() <= drawRect_.Width())
        return graphics.DrawText(textStyle_, text, drawRect_);
    TextStyle smaller = textStyle_;
    smaller.size = std::max(1, textStyle_.size * drawRect_.Width() / extent.Width());
    smaller.font = nullptr;
    return graphics.DrawText(smaller, text, drawRect_);
}
