#include "gui/Graphics.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "gui/ClipCanvas.h"
#include "gui/FontCache.h"
#include "gui/GuiResizeHooks.h"
#include "gui/LayoutEditor.h"
#include "gui/PanelControl.h"
#include "gui/ParamText.h"
#include "plugin/PluginBase.h"
#include "raster/BlendMode.h"
#include "raster/Draw.h"
#include "raster/PngImage.h"
#include "resources/ResourceTable.h"

namespace {

// The raster mode a control's blend asks for.
int RasterMode(const Blend* blend) {
    if (blend == nullptr) return raster::kModeAlphaCopy;
    switch (blend->method) {
        case kBlendClobber:
            return raster::kModeCopy;
        case kBlendAdd:
            return raster::kModeAlphaAdd;
        case kBlendColorDodge:
            return raster::kModeAlphaDodge;
        default:
            return raster::kModeAlphaCopy;
    }
}

float RasterWeight(const Blend* blend) {
    return blend == nullptr ? 1.0f : blend->weight;
}

// Rows of one of the program's own images; only names ending in ".png" are images. Reads nothing
// but the resources, so any thread may call it.
std::optional<raster::RowSpan> DecodeResourceRows(int id, const std::string& name, int factor,
                                                  raster::RowSpan rows, raster::MemBitmap& into) {
    if (!raster::EndsWithPng(name)) return std::nullopt;
    return raster::DecodePngResourceRows(id, factor, rows, into);
}

}  // namespace

Graphics::Graphics(PluginBase* core)
    : core_(core),
      images_({[this](int id, const std::string& name, int factor, raster::RowSpan rows,
                      raster::MemBitmap& into) {
                   return LoadResourceImage(id, name, factor, rows, into);
               },
               [this](int id, const std::string& name, int frameCount) {
                   return MeasureResourceImage(id, name, frameCount);
               },
               resources::kLargeImageFactor}) {}

Graphics::~Graphics() = default;

// --- Operations of the window layer with a behaviour of their own ---

std::string Graphics::AppDataFolder(bool shared) const {
    return shared ? std::string() : appDataFolder_;
}

bool Graphics::PromptForFile(std::string& name, int action, const std::string& extensions) {
    std::string folder;
    return PromptForFileName(name, action, folder, extensions);
}

std::optional<raster::RowSpan> Graphics::LoadResourceImage(int id, const std::string& name,
                                                           int factor, raster::RowSpan rows,
                                                           raster::MemBitmap& into) {
    return DecodeResourceRows(id, name, factor, rows, into);
}

std::optional<ImageStore::Size> Graphics::MeasureResourceImage(int id, const std::string& name,
                                                               int frameCount) {
    if (!raster::EndsWithPng(name)) return std::nullopt;
    const std::optional<raster::PngSize> size = raster::PngResourceSize(id);
    if (!size) return std::nullopt;
    // The program's strips are stored as they are shown, their frames stacked downwards.
    const int height = frameCount >= 2 ? size->height - frameCount : size->height;
    if (height < 1) return std::nullopt;
    return ImageStore::Size{size->width, height};
}

void Graphics::ResizePanel(int width, int height) {
    width_ = width;
    height_ = height;
    drawBitmap_.reset();
    tempBitmap_.reset();
    PrepareDrawing();
    if (core_ != nullptr) core_->PanelResized(width, height);
}

void Graphics::PrepareDrawing() {
    drawBitmap_ = std::make_unique<raster::SysBitmap>(width_, height_);
    tempBitmap_ = std::make_unique<raster::MemBitmap>();
}

// --- Parameter binding ---

void Graphics::SetParamFromCore(int index, double value, bool alreadyNormalized) {
    if (!alreadyNormalized) {
        if (core_ == nullptr) return;
        std::lock_guard<std::recursive_mutex> hold(core_->PluginLock());
        const Parameter* param = core_->GetParam(index);
        if (param == nullptr) return;
        value = NormalizedFor(*param, value);
    }
    for (Control* control : controls_) {
        if (control->ParamIndex() == index) control->SetValueFromCore(value);
        for (int a = 0; a < control->AuxCount(); ++a) {
            if (control->Aux(a).paramIndex != index) continue;
            control->SetAuxValueFromCore(a, value);
            break;
        }
    }
}

// --- The control list ---

void Graphics::Renumber() {
    for (size_t i = 0; i < controls_.size(); ++i)
        controls_[i]->SetListIndex(static_cast<int>(i));
}

int Graphics::AddControl(Control* control) {
    if (control == nullptr) return -1;
    controls_.push_back(control);
    Renumber();
    return control->ListIndex();
}

void Graphics::AddBackgroundPanel(const ColorARGB& colour) {
    background_ = std::make_unique<PanelControl>(core_, Rect{0, 0, width_, height_}, colour);
    controls_.insert(controls_.begin(), background_.get());
    Renumber();
}

Control* Graphics::GetControl(int i) const {
    if (i < 0 || i >= GetNControls()) return nullptr;
    return controls_[static_cast<size_t>(i)];
}

bool Graphics::IsProtectedIndex(int index) const {
    return index < 1 || index > LastLayerIndex();
}

void Graphics::MoveControl(int from, int to) {
    if (IsProtectedIndex(from) || IsProtectedIndex(to) || from == to) return;
    Control* moved = controls_[static_cast<size_t>(from)];
    controls_.erase(controls_.begin() + from);
    controls_.insert(controls_.begin() + to, moved);
    Renumber();
}

void Graphics::SwapControls(int a, int b) {
    if (IsProtectedIndex(a) || IsProtectedIndex(b)) return;
    std::swap(controls_[static_cast<size_t>(a)], controls_[static_cast<size_t>(b)]);
    Renumber();
}

void Graphics::ReplaceControl(int index, Control* control) {
    if (IsProtectedIndex(index) || control == nullptr) return;
    Control* old = controls_[static_cast<size_t>(index)];
    if (captureIndex_ == index) ClearCapture();
    if (mouseOverIndex_ == index) mouseOverIndex_ = -1;
    controls_[static_cast<size_t>(index)] = control;
    // The key catcher follows a control that is replaced, not one that only changes place (the
    // layout editor permutes layers with this operation).
    if (keyCatcher_ == old && std::find(controls_.begin(), controls_.end(), old) == controls_.end())
        keyCatcher_ = control;
    Renumber();
}

void Graphics::MarkAllDirty() {
    for (Control* control : controls_)
        control->MarkDirty(false);
}

// --- Value entry ---

std::unique_lock<std::recursive_mutex> Graphics::LockCore() const {
    if (core_ == nullptr) return {};
    return std::unique_lock<std::recursive_mutex>(core_->PluginLock());
}

void Graphics::PromptForValue(Control* control, Parameter* param, const Rect& rect) {
    if (control == nullptr || param == nullptr) return;
    bool listed;
    std::vector<ControlMenuEntry> extras;
    {
        auto hold = LockCore();
        listed = PromptsWithMenu(*param);
        if (core_ != nullptr) extras = core_->ControlMenuEntries(control->ParamIndex());
    }
    // The core's own entries follow the value's, below a separator: the words of a worded
    // parameter, or the one entry that opens the text entry.
    if (listed || !extras.empty()) {
        PromptWithMenu(control, param, rect, extras, listed);
        return;
    }
    OpenValueEntry(control, param, rect);
}

void Graphics::OpenValueEntry(Control* control, Parameter* param, const Rect& rect) {
    std::string text;
    {
        auto hold = LockCore();
        text = FormatPlainValue(*param);
    }
    OpenTextEntry(control, control->GetTextStyle(), rect, text, param);
}

void Graphics::PromptWithMenu(Control* control, Parameter* param, const Rect& rect,
                              const std::vector<ControlMenuEntry>& extras, bool listed) {
    PopupMenu menu;
    double minimum = 0.0, maximum = 0.0;
    {
        auto hold = LockCore();
        if (listed) {
            AddValueWords(menu, *param);
        } else {
            menu.AddItem(kEnterValueText);
        }
        minimum = param->minimum;
        maximum = param->maximum;
    }
    const int valueItems = menu.ItemCount();
    if (!extras.empty()) menu.AddSeparator();
    for (const ControlMenuEntry& extra : extras)
        menu.AddItem(extra.text, extra.enabled ? 0 : PopupMenu::kItemGrayed);
    PopupMenu* chosen = ShowPopupMenu(menu, rect);
    if (chosen != &menu || chosen->ChosenIndex() < 0) return;
    const int item = chosen->ChosenIndex();
    if (item > valueItems) {
        if (core_ != nullptr)
            core_->ControlMenuChosen(control->ParamIndex(), item - valueItems - 1);
        return;
    }
    if (item == valueItems) return;
    if (!listed) {
        OpenValueEntry(control, param, rect);
        return;
    }
    const double plain = std::clamp(static_cast<double>(item), minimum, std::max(minimum, maximum));
    double normalized;
    {
        auto hold = LockCore();
        normalized = NormalizedFor(*param, plain);
    }
    control->SetValueFromUser(normalized);
}

void Graphics::AddValueWords(PopupMenu& menu, const Parameter& param) {
    const int32_t plain = static_cast<int32_t>(param.value);
    std::string currentText;
    for (const ParamDisplayText& entry : param.displayTexts) {
        if (entry.value == plain) {
            currentText = entry.text;
            break;
        }
    }
    const int count = static_cast<int>(param.displayTexts.size());
    for (int i = 0; i < count; ++i) {
        // Item i is the text stored for value i; a text stored for a value beyond the item
        // count is never offered.
        std::string text;
        for (const ParamDisplayText& entry : param.displayTexts) {
            if (entry.value == i) {
                text = entry.text;
                break;
            }
        }
        const bool checked = !text.empty() && text == currentText;
        menu.AddItem(text, checked ? PopupMenu::kItemChecked : 0);
    }
}

bool Graphics::CommitEntryText(Control* control, Parameter* param, const std::string& entered,
                               std::string* refusal) {
    if (control == nullptr) return true;
    const std::string text = entered.substr(0, 32);
    if (param == nullptr) {
        control->SetTextFromEntry(text);
        return true;
    }
    std::string why;
    if (core_ != nullptr && !core_->AcceptEnteredValue(control->ParamIndex(), text, why)) {
        if (refusal != nullptr) *refusal = why;
        return false;
    }
    double normalized;
    {
        auto hold = LockCore();
        normalized = NormalizedFor(*param, ParseEntryValue(*param, text));
    }
    control->SetValueFromUser(normalized);
    return true;
}

std::string Graphics::EntryRefusal(const Control* control, const std::string& text) const {
    std::string why;
    if (control == nullptr || core_ == nullptr) return why;
    core_->AcceptEnteredValue(control->ParamIndex(), text, why);
    return why;
}

// --- Images ---

ImageStrip* Graphics::LoadImageStrip(int id, const std::string& name, int frameCount) {
    return images_.LoadStrip(id, name, frameCount);
}

double Graphics::GuiScale() const {
    return guiResize_ != nullptr ? guiResize_->Scale() : 1.0;
}

void Graphics::RenderAllStrips(double scale) {
    images_.RenderAll(scale);
}

void Graphics::DecodeAhead(const std::vector<const ImageStrip*>& strips) {
    images_.DecodeAhead(strips, AheadDecoder());
}

ImageStore::WholeDecode Graphics::AheadDecoder() const {
    return [](int id, const std::string& name, int factor, raster::MemBitmap& into) {
        return DecodeResourceRows(id, name, factor, {0, raster::kAllRows}, into).has_value();
    };
}

void Graphics::ReleaseCaches() {
    FontCache::Instance().Release();
}

// --- Drawing ---

bool Graphics::BlitImage(const ImageStrip* strip, const Rect& dest, int srcX, int srcY,
                         const Blend* blend) {
    const Rect clip = dest.Intersection(drawRect_);
    if (clip.IsEmpty() || strip == nullptr || strip->bitmap == nullptr) return true;
    const raster::PixelRect source{srcX + clip.L - dest.L, srcY + clip.T - dest.T,
                                   srcX + clip.R - dest.L, srcY + clip.B - dest.T};
    images_.Prepare(*strip, {source.top, source.bottom});
    raster::Blit(drawBitmap_.get(), strip->bitmap, clip.L, clip.T, &source, RasterWeight(blend),
                 RasterMode(blend));
    return true;
}

bool Graphics::DrawFrame(const ImageStrip* strip, const Rect& dest, int frame, const Blend* blend) {
    if (strip == nullptr) return true;
    int srcX = 0, srcY = 0;
    const int frames = strip->frameCount;
    if (frame >= 2 && frames >= 2) {
        if (strip->framesHorizontal) {
            srcX = FrameOffset(strip->width, frames, frame - 1);
        } else {
            srcY = FrameOffset(strip->height, frames, frame - 1);
        }
    }
    return BlitImage(strip, dest, srcX, srcY, blend);
}

bool Graphics::FillRect(const ColorARGB& colour, const Rect& rect, const Blend* blend) {
    // Kept inside the draw rectangle like a blit, so a full-panel fill during a partial redraw
    // does not wipe what is not being redrawn.
    const Rect clip = rect.Intersection(drawRect_);
    if (clip.IsEmpty()) return true;
    raster::FillRect(drawBitmap_.get(), clip.L, clip.T, clip.Width(), clip.Height(),
                     colour.Packed(), RasterWeight(blend), RasterMode(blend));
    return true;
}

bool Graphics::OutlineRect(const ColorARGB& colour, const Rect& rect) {
    const uint32_t packed = colour.Packed();
    raster::Bitmap* bitmap = drawBitmap_.get();
    const float l = static_cast<float>(rect.L), t = static_cast<float>(rect.T);
    const float r = static_cast<float>(rect.R), b = static_cast<float>(rect.B);
    raster::DrawLine(bitmap, l, t, r, t, packed, 1.0f, raster::kModeCopy, false);
    raster::DrawLine(bitmap, l, b, r, b, packed, 1.0f, raster::kModeCopy, false);
    raster::DrawLine(bitmap, l, t, l, b, packed, 1.0f, raster::kModeCopy, false);
    raster::DrawLine(bitmap, r, t, r, b, packed, 1.0f, raster::kModeCopy, false);
    return true;
}

raster::Font* Graphics::FontFor(TextStyle& style) {
    if (style.font == nullptr) style.font = FontCache::Instance().FontFor(style);
    return style.font;
}

namespace {

unsigned AlignFlags(const TextStyle& style) {
    switch (style.align) {
        case kAlignNear:
            return raster::kTextLeft;
        case kAlignFar:
            return raster::kTextRight;
        default:
            return raster::kTextCentre;
    }
}

}  // namespace

bool Graphics::DrawText(TextStyle& style, const std::string& text, const Rect& rect) {
    if (text.empty()) return true;
    raster::Font* font = FontFor(style);
    if (font == nullptr) return false;
    font->SetTextColor(style.color.Packed());
    unsigned flags = raster::kTextNoClip | AlignFlags(style);
    if (style.color.A != 255) flags |= raster::kTextUseColourAlpha;
    // The text may reach past its rectangle, but never past the area being redrawn: outside
    // it the old text was not cleared, and drawing it again there would thicken its edges.
    const Rect clip = drawRect_.Intersection({0, 0, width_, height_});
    ClipCanvas canvas(drawBitmap_.get(), clip);
    if (!canvas.HasPixels()) return true;
    raster::PixelRect box{rect.L - clip.L, rect.T - clip.T, rect.R - clip.L, rect.B - clip.T};
    font->DrawText(&canvas, text.c_str(), static_cast<int>(text.size()), &box, flags);
    return true;
}

bool Graphics::MeasureText(TextStyle& style, const std::string& text, Rect& rect) {
    if (text.empty()) return true;
    raster::Font* font = FontFor(style);
    if (font == nullptr) return false;
    raster::PixelRect box{rect.L, rect.T, rect.R, rect.B};
    font->DrawText(nullptr, text.c_str(), static_cast<int>(text.size()), &box,
                   raster::kTextMeasureOnly | raster::kTextNoClip);
    const int w = box.Width(), h = box.Height();
    switch (style.align) {
        case kAlignNear:
            rect.R = rect.L + w;
            break;
        case kAlignFar:
            rect.L = rect.R - w;
            break;
        default:
            rect.L = (rect.L + rect.R) / 2 - w / 2;
            rect.R = rect.L + w;
            break;
    }
    rect.B = rect.T + h;
    return true;
}

// --- Redraw ---

bool Graphics::CollectDirty(Rect& rect) {
    bool dirty = false;
    for (Control* control : controls_) {
        if (control->PendingPush() != 0) control->MarkDirty(true);
        if (control->NeedsRedraw()) {
            rect = rect.Union(control->DrawRect());
            dirty = true;
        }
    }
    if (dirty) {
        idleTicks_ = 0;
        return true;
    }
    if (++idleTicks_ > 1) {
        idleTicks_ = 0;
        if (core_ != nullptr) core_->GuiIdle();
    }
    return false;
}

bool Graphics::DrawDirty(const Rect& rect) {
    if (guiResize_ != nullptr && guiResize_->ResizeDragInProgress()) {
        const Rect panel{0, 0, width_, height_};
        drawRect_ = panel;
        guiResize_->DrawDuringResize(*this, panel);
        return PresentToScreen(panel);
    }
    if (controls_.empty()) return true;
    if (!drawBitmap_) PrepareDrawing();
    if (LayoutEditing()) {
        // The overlay lies over every control, so the whole panel is drawn under it each time:
        // a partial redraw would leave outlines and grid lines of the last frame standing.
        DrawStrict({0, 0, width_, height_});
        DrawLayoutOverlay();
    } else if (strictDrawing_) {
        DrawStrict(rect);
    } else {
        DrawNonStrict();
    }
    return PresentToScreen(rect);
}

void Graphics::DrawLayoutOverlay() {
    if (layoutEditor_ != nullptr) layoutEditor_->DrawOverlay();
}

bool Graphics::DrawStrict(const Rect& rect) {
    drawRect_ = rect;
    for (Control* control : controls_) {
        if (!control->IsHidden() && control->DrawRect().Meets(rect)) control->Draw(*this);
    }
    // A control outside the area keeps its dirty mark: a paint request for part of the panel
    // (an uncovered corner, say) must not swallow a change that has not been drawn yet. One
    // outside the whole panel (the lower half at 1024 x 400) can never be drawn; it is clean,
    // or the panel would stay dirty for ever and its idle hook never run. A resize of the
    // panel marks everything dirty again.
    const Rect panel{0, 0, width_, height_};
    for (Control* control : controls_) {
        const Rect& area = control->DrawRect();
        if (area.IsEmpty() || area.Meets(rect) || !area.Meets(panel)) control->MarkClean();
    }
    return true;
}

bool Graphics::DrawNonStrict() {
    Control* background = controls_.front();
    if (background->NeedsRedraw()) {
        drawRect_ = background->DrawRect();
        for (Control* control : controls_) {
            if (control->IsHidden()) continue;
            control->Draw(*this);
            control->MarkClean();
        }
        return true;
    }
    for (size_t i = 1; i < controls_.size(); ++i) {
        Control* dirty = controls_[i];
        if (!dirty->NeedsRedraw()) continue;
        drawRect_ = dirty->DrawRect();
        for (size_t j = 0; j < controls_.size(); ++j) {
            Control* control = controls_[j];
            if (control->IsHidden()) continue;
            if (j == i || control->DrawRect().Meets(drawRect_)) control->Draw(*this);
        }
        dirty->MarkClean();
    }
    return true;
}

// --- Input ---

int Graphics::HitControl(int x, int y) const {
    for (int i = GetNControls() - 1; i >= 0; --i) {
        const Control* control = controls_[static_cast<size_t>(i)];
        if (!control->IsHidden() && !control->IsGrayed() && control->HitTest(x, y)) return i;
    }
    return -1;
}

void Graphics::NotifyGestureBegin(const Control* control) {
    if (core_ != nullptr && control->IsBound()) core_->BeginGesture(control->ParamIndex());
}

void Graphics::NotifyGestureEnd(const Control* control) {
    if (core_ != nullptr && control->IsBound()) core_->EndGesture(control->ParamIndex());
}

void Graphics::MouseDown(int x, int y, const MouseKeys& keys) {
    lastKeys_ = keys;
    captureIndex_ = -1;
    if (LayoutEditing() && layoutEditor_ != nullptr) {
        lastX_ = x;
        lastY_ = y;
        layoutEditor_->MouseDown(x, y, keys);
        return;
    }
    const int hit = HitControl(x, y);
    if (hit < 0) return;
    captureIndex_ = hit;
    lastX_ = x;
    lastY_ = y;
    Control* control = controls_[static_cast<size_t>(hit)];
    lastParamClicked_ = control->ParamIndex();
    if (LayoutEditing()) return;
    NotifyGestureBegin(control);
    control->OnPress(x, y, keys);
}

void Graphics::MouseUp(int x, int y, const MouseKeys& keys) {
    lastKeys_ = keys;
    if (LayoutEditing() && layoutEditor_ != nullptr) {
        ClearCapture();
        layoutEditor_->MouseUp(x, y, keys);
        return;
    }
    const int target = captureIndex_ >= 0 ? captureIndex_ : HitControl(x, y);
    ClearCapture();
    Control* control = GetControl(target);
    if (control == nullptr || LayoutEditing()) return;
    control->OnRelease(x, y, keys);
    NotifyGestureEnd(control);
}

void Graphics::MouseDrag(int x, int y, const MouseKeys& keys) {
    lastKeys_ = keys;
    if (LayoutEditing() && layoutEditor_ != nullptr) {
        if (x == lastX_ && y == lastY_) return;
        lastX_ = x;
        lastY_ = y;
        layoutEditor_->MouseDrag(x, y, keys);
        return;
    }
    Control* control = GetControl(captureIndex_);
    if (control == nullptr || (x == lastX_ && y == lastY_)) return;
    const int dx = x - lastX_, dy = y - lastY_;
    lastX_ = x;
    lastY_ = y;
    if (!LayoutEditing()) control->OnDrag(x, y, dx, dy, keys);
}

bool Graphics::MouseDoubleClick(int x, int y, const MouseKeys& keys) {
    lastKeys_ = keys;
    if (LayoutEditing() && layoutEditor_ != nullptr) {
        // The second press of a quick double click starts a drag like any other press.
        lastX_ = x;
        lastY_ = y;
        layoutEditor_->MouseDown(x, y, keys);
        return true;
    }
    const int hit = HitControl(x, y);
    Control* control = GetControl(hit);
    if (control == nullptr || LayoutEditing()) return false;
    if (control->DoubleClickAsClick()) {
        captureIndex_ = hit;
        lastX_ = x;
        lastY_ = y;
        control->OnPress(x, y, keys);
        return true;
    }
    control->OnDoubleClick(x, y, keys);
    return false;
}

void Graphics::MouseWheel(int x, int y, const MouseKeys& keys, int steps) {
    const int target = captureIndex_ >= 0 ? captureIndex_ : HitControl(x, y);
    if (Control* control = GetControl(target)) control->OnWheel(x, y, keys, steps);
}

bool Graphics::MouseMove(int x, int y, const MouseKeys& keys) {
    const bool hovered = HoverControls(x, y, keys);
    if (!LayoutEditing() || layoutEditor_ == nullptr) return hovered;
    // After the controls' hover handlers, so the editor's pointer shape is the one that stays.
    layoutEditor_->MouseMove(x, y, keys);
    return true;
}

bool Graphics::HoverControls(int x, int y, const MouseKeys& keys) {
    if (!handleMouseOver_) return false;
    int target = captureIndex_;
    if (target < 0) {
        for (int i = GetNControls() - 1; i >= 0; --i) {
            const Control* control = controls_[static_cast<size_t>(i)];
            if (control->IsHidden() || !control->HitTest(x, y)) continue;
            if (control->IsGrayed() && !control->MouseOverWhenGrayed()) continue;
            target = i;
            break;
        }
    }
    Control* control = GetControl(target);
    if (control == nullptr) return true;
    lastX_ = x;
    lastY_ = y;
    control->OnHover(x, y, keys);
    if (mouseOverIndex_ >= 0 && mouseOverIndex_ != target) {
        if (Control* previous = GetControl(mouseOverIndex_)) previous->OnLeave();
    }
    mouseOverIndex_ = target;
    return true;
}

void Graphics::MouseLeave() {
    for (Control* control : controls_)
        control->OnLeave();
    mouseOverIndex_ = -1;
}

bool Graphics::KeyDown(int x, int y, int key, const MouseKeys& keys) {
    if (layoutMode_ == 1 && layoutEditing_ && key == kKeyLetterE) MarkAllDirty();
    lastKey_ = key;
    lastKeys_.S = keys.S;
    lastKeys_.C = keys.C;
    lastKeys_.A = keys.A;
    if (layoutMode_ == 1 && layoutEditor_ != nullptr && layoutEditor_->KeyDown(key, keys))
        return true;
    const int target = captureIndex_ >= 0 ? captureIndex_ : HitControl(x, y);
    if (target > 0 && controls_[static_cast<size_t>(target)]->OnKey(x, y, key)) return true;
    // A key no control under the pointer used goes to the key catcher.
    return keyCatcher_ != nullptr && keyCatcher_->OnKey(x, y, key);
}
