#include "gui/HeadlessGraphics.h"

#include <algorithm>
#include <cstring>

bool HeadlessGraphics::PresentToScreen(const Rect& rect) {
    presented_.push_back(rect);
    return true;
}

int HeadlessGraphics::ShowMessage(const std::string& text, const std::string& caption, int type) {
    messages_.push_back({text, caption, type});
    return messageAnswer_;
}

PopupMenu* HeadlessGraphics::ShowPopupMenu(PopupMenu& menu, const Rect& rect) {
    (void)rect;
    ++menuCount_;
    lastMenuTexts_.clear();
    lastMenuFlags_.clear();
    for (int i = 0; i < menu.ItemCount(); ++i) {
        lastMenuTexts_.push_back(menu.ShownText(i));
        lastMenuFlags_.push_back(menu.ItemAt(i).flags);
    }
    // Commands and their mapping back go the same way as in a window.
    menu.AssignCommands(1);
    if (menuAnswer_ < 0 || menuAnswer_ >= menu.ItemCount()) return nullptr;
    return menu.Choose(menu.CommandOf(menuAnswer_));
}

void HeadlessGraphics::OpenTextEntry(Control* control, const TextStyle& style, const Rect& rect,
                                     const std::string& text, Parameter* param) {
    (void)style;
    if (control == nullptr) return;
    entries_.push_back({control, param, rect, text});
}

bool HeadlessGraphics::PromptForFileName(std::string& name, int action, std::string& folder,
                                         const std::string& extensions) {
    (void)action;
    (void)extensions;
    ++fileChooserCount_;
    name = fileAnswer_;
    if (name.empty()) return false;
    const size_t slash = name.rfind('/');
    if (slash != std::string::npos) folder = name.substr(0, slash + 1);
    return true;
}

bool HeadlessGraphics::PromptForFolder(std::string& folder, const std::string& title) {
    (void)title;
    ++fileChooserCount_;
    if (folderAnswer_.empty()) return false;
    folder = folderAnswer_;
    return true;
}

bool HeadlessGraphics::ChooseColor(ColorARGB& colour, const std::string& prompt) {
    (void)colour;
    (void)prompt;
    return false;
}

bool HeadlessGraphics::ReadClipboardText(std::string& text) {
    text = clipboard_.value_or("");
    return clipboard_.has_value();
}

bool HeadlessGraphics::OpenLink(const std::string& url, const std::string& caption,
                                const std::string& confirmText, const std::string& errorText) {
    (void)caption;
    (void)confirmText;
    (void)errorText;
    links_.push_back(url);
    return true;
}

void* HeadlessGraphics::CreatePanelWindow(void* parent) {
    (void)parent;
    windowOpen_ = true;
    MarkAllDirty();
    return this;
}

void* HeadlessGraphics::NativeWindow() const {
    return windowOpen_ ? const_cast<HeadlessGraphics*>(this) : nullptr;
}

std::optional<raster::RowSpan> HeadlessGraphics::LoadResourceImage(int id, const std::string& name,
                                                                   int factor, raster::RowSpan rows,
                                                                   raster::MemBitmap& into) {
    decoded_.push_back(id);
    decodedFactors_.push_back(factor);
    auto found = images_.find({id, factor});
    if (found == images_.end()) {
        // A test image without a set of this factor has none; resources have both.
        if (images_.count({id, 1}) != 0) return std::nullopt;
        const std::optional<raster::RowSpan> decoded =
            Graphics::LoadResourceImage(id, name, factor, rows, into);
        decodedRows_.push_back(decoded.value_or(raster::RowSpan{}));
        return decoded;
    }
    decodedRows_.push_back(rows);
    const raster::MemBitmap& image = *found->second;
    if (into.Width() != image.Width() || into.Height() != image.Height()) {
        into.Resize(0, 0);
        into.Resize(image.Width(), image.Height());
        if (!into.HasPixels()) return std::nullopt;
    }
    // As a decoder that starts and stops anywhere: only the rows asked for are copied.
    const int end = std::min(rows.end, image.Height());
    for (int y = std::max(rows.first, 0); y < end; ++y) {
        std::memcpy(into.Row(y), image.Row(y), static_cast<size_t>(image.Width()) * 4);
    }
    return rows;
}

std::optional<ImageStore::Size> HeadlessGraphics::MeasureResourceImage(int id,
                                                                       const std::string& name,
                                                                       int frameCount) {
    // A test image is stored at its drawn size.
    auto found = images_.find({id, 1});
    if (found == images_.end()) return Graphics::MeasureResourceImage(id, name, frameCount);
    return ImageStore::Size{found->second->Width(), found->second->Height()};
}

void HeadlessGraphics::AddImage(int id, std::unique_ptr<raster::MemBitmap> image, int factor) {
    images_[{id, factor}] = std::move(image);
}

bool HeadlessGraphics::Tick() {
    Rect dirty;
    if (!CollectDirty(dirty)) return false;
    return DrawDirty(dirty);
}
