#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "gui/Graphics.h"

// The graphics core on a panel without a window: it draws into its bitmap like the real one,
// keeps what it would have shown on screen, and answers menus, value entries, choosers and
// message boxes from a script. Tests and the benchmarks drive the panel through it.
class HeadlessGraphics : public Graphics {
public:
    struct EntryRequest {
        Control* control = nullptr;
        Parameter* param = nullptr;
        Rect rect;
        std::string text;
    };
    struct MessageRequest {
        std::string text;
        std::string caption;
        int type = 0;
    };

    explicit HeadlessGraphics(PluginBase* core) : Graphics(core) {}

    bool PresentToScreen(const Rect& rect) override;
    void CancelTextEntry() override { ++cancelledEntries_; }
    int ShowMessage(const std::string& text, const std::string& caption, int type) override;
    PopupMenu* ShowPopupMenu(PopupMenu& menu, const Rect& rect) override;
    void OpenTextEntry(Control* control, const TextStyle& style, const Rect& rect,
                       const std::string& text, Parameter* param) override;
    bool PromptForFileName(std::string& name, int action, std::string& folder,
                           const std::string& extensions) override;
    bool PromptForFolder(std::string& folder, const std::string& title) override;
    // No colour chooser: the colour stays.
    bool ChooseColor(ColorARGB& colour, const std::string& prompt) override;
    bool OpenLink(const std::string& url, const std::string& caption,
                  const std::string& confirmText, const std::string& errorText) override;
    void ShowUnopenedAddress(const std::string& address) override { unopened_.push_back(address); }
    // A headless window has no desktop and no program folder of its own.
    std::string HostFolder() const override { return ""; }
    std::string ModuleFolder() const override { return ""; }
    std::string DesktopFolder() const override { return ""; }
    std::string DocumentsFolder() const override { return ""; }
    bool ReadClipboardText(std::string& text) override;
    void HideCursor() override { cursorHidden_ = true; }
    void RestoreCursor() override { cursorHidden_ = false; }
    void SetCursorShape(int shape) override { cursorShape_ = shape; }
    void* CreatePanelWindow(void* parent) override;
    void DestroyPanelWindow() override { windowOpen_ = false; }
    void* NativeWindow() const override;
    std::optional<raster::RowSpan> LoadResourceImage(int id, const std::string& name, int factor,
                                                     raster::RowSpan rows,
                                                     raster::MemBitmap& into) override;
    std::optional<ImageStore::Size> MeasureResourceImage(int id, const std::string& name,
                                                         int frameCount) override;
    std::string BackendName() const override { return "Headless"; }

    // One timer tick of a window: collect the dirty area and redraw it. True when it drew.
    bool Tick();

    // Images the tests make themselves, served as if they were resources of the set drawn at
    // factor times the panel's size (copied on every load).
    void AddImage(int id, std::unique_ptr<raster::MemBitmap> image, int factor = 1);

    // Scripted answers: the menu item to choose (-1: none), the button of message boxes, and
    // the path the file chooser returns ("" for cancel).
    void AnswerMenuWith(int item) { menuAnswer_ = item; }
    void AnswerMessagesWith(int answer) { messageAnswer_ = answer; }
    void AnswerFileChooserWith(const std::string& path) { fileAnswer_ = path; }
    // The folder the folder chooser returns ("" for cancel) and the clipboard's text.
    void AnswerFolderChooserWith(const std::string& folder) { folderAnswer_ = folder; }
    void SetClipboardText(const std::string& text) { clipboard_ = text; }
    int CancelledEntries() const { return cancelledEntries_; }
    const std::vector<std::string>& UnopenedAddresses() const { return unopened_; }
    bool CursorHidden() const { return cursorHidden_; }
    int CursorShape() const { return cursorShape_; }

    const std::vector<Rect>& Presented() const { return presented_; }
    void ClearPresented() { presented_.clear(); }
    const std::vector<std::string>& LastMenuTexts() const { return lastMenuTexts_; }
    const std::vector<int>& LastMenuFlags() const { return lastMenuFlags_; }
    int MenuCount() const { return menuCount_; }
    const std::vector<EntryRequest>& Entries() const { return entries_; }
    const std::vector<MessageRequest>& Messages() const { return messages_; }
    int FileChooserCount() const { return fileChooserCount_; }
    // Documents and web addresses the panel asked the desktop to open.
    const std::vector<std::string>& OpenedLinks() const { return links_; }
    // Image ids decoded so far, in order, the factor of the set each came from and the rows
    // decoded (a test image's: those asked for, up to raster::kAllRows).
    const std::vector<int>& Decoded() const { return decoded_; }
    const std::vector<int>& DecodedFactors() const { return decodedFactors_; }
    const std::vector<raster::RowSpan>& DecodedRows() const { return decodedRows_; }

protected:
    // The tests' images are served, and counted, on the GUI thread only.
    ImageStore::WholeDecode AheadDecoder() const override { return {}; }

private:
    std::vector<Rect> presented_;
    std::vector<std::string> lastMenuTexts_;
    std::vector<int> lastMenuFlags_;
    int menuCount_ = 0;
    int menuAnswer_ = -1;
    int messageAnswer_ = kAnswerOk;
    std::string fileAnswer_;
    std::string folderAnswer_;
    std::optional<std::string> clipboard_;
    int cancelledEntries_ = 0;
    std::vector<std::string> unopened_;
    bool cursorHidden_ = false;
    int cursorShape_ = 0;
    int fileChooserCount_ = 0;
    std::vector<EntryRequest> entries_;
    std::vector<MessageRequest> messages_;
    std::vector<std::string> links_;
    std::map<std::pair<int, int>, std::unique_ptr<raster::MemBitmap>> images_;  // by id, factor
    std::vector<int> decoded_;
    std::vector<int> decodedFactors_;
    std::vector<raster::RowSpan> decodedRows_;
    bool windowOpen_ = false;
};
