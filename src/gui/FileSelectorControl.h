#pragma once

#include <string>

#include "gui/BitmapControl.h"

// A button that asks for a file. It shows its pressed picture only while the chooser is open,
// and every use toggles its parameter between 0 and 1 so that the core sees each use as a
// change, even a cancelled one (the file name is then empty).
class FileSelectorControl : public BitmapControl {
public:
    enum State : int { kIdle = 0, kChoosing = 1, kJustChosen = 2 };

    FileSelectorControl(PluginBase* core, const Rect& rect, int paramIndex, ImageStrip* strip,
                        int action, const std::string& extensions);

    void OnPress(int x, int y, const MouseKeys& keys) override;
    bool NeedsRedraw() override;
    bool Draw(Graphics& graphics) override;

    const std::string& FileName() const { return fileName_; }
    void SetFileName(const std::string& name) { fileName_ = name; }
    const std::string& Folder() const { return folder_; }
    void SetFolder(const std::string& folder) { folder_ = folder; }
    int State() const { return state_; }
    int Action() const { return action_; }
    const std::string& Extensions() const { return extensions_; }

private:
    int action_;
    std::string extensions_;
    std::string fileName_;
    std::string folder_;
    int state_ = kIdle;
};
