#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "editor/EditorPanel.h"
#include "editor/PanelPlaces.h"
#include "unit/UnitParameters.h"

class BitmapControl;
class Control;
class FileSelectorControl;
class Graphics;
class KeyboardControl;
class OrvoEditor;
class ParaGraphicEq;
class TextControl;
struct ImageStrip;

// The editor's front panel on the 1024 x 800 grid: the background, the file choosers, the
// value texts, one knob, slider or switch per unit position, the graphic equalizer, the section
// buttons and check boxes, the keyboard and the about overlay, in drawing order. It owns its
// controls; the graphics core draws them and sends them the mouse.
class OrvoPanel : public EditorPanel {
public:
    // Builds the panel on graphics and attaches graphics to the editor, which then owns it.
    OrvoPanel(OrvoEditor& editor, Graphics* graphics);
    ~OrvoPanel() override;

    void SetValueText(int position, const std::string& text) override;
    void SetStatusLine(const std::string& text) override;
    std::string StatusLine() const override;
    void ShowEffectPanels(int effectType, bool parametricView, bool graphicView) override;
    void SetEqualizerBands(const std::array<EqBandRecord, kEqBandCount>& bands) override;
    EqBandRecord EqualizerBand(int band) const override;
    std::string ChooserPath(int index) const override;
    void SetChooserPath(int index, const std::string& path) override;
    void ShowCompare(bool comparing) override;
    void ShowAbout() override;
    void ShowTransferProgress(const std::string& text) override;
    bool OpenDocument(const std::string& address) override;
    void OpenChooser(int index) override;
    bool ShowReport(const Report& report) override;
    bool ChooseFolder(std::string& folder) override;
    double KeyboardVelocity() const override;
    void RedrawKeyboard() override;
    void ShowController(int position, int controller) override;

    Graphics& Panel() const { return *graphics_; }
    // The control standing for a unit position, or null (position 80 has none).
    Control* PositionControl(int position) const;
    TextControl* ValueText(int position) const;
    TextControl* ProgressLine() const { return progressLine_; }
    TextControl* CompareCaption() const { return compareLine_; }
    FileSelectorControl* Chooser(int index) const;
    ParaGraphicEq* Equalizer() const { return equalizer_; }
    // The switch to view `to` as the equalizer's view `shown` shows it.
    Control* EqViewSwitch(int shown, int to) const;
    KeyboardControl* Keyboard() const { return keyboard_; }
    // The mark that shows a learned controller beside a position's control, or null.
    Control* ControllerMark(int position) const;

private:
    template <typename T, typename... Args>
    T* Add(Args&&... args);
    ImageStrip* Strip(int id);

    void AddFileChoosers();
    void AddEffectArea();
    void AddValueTexts();
    void AddPositionControls();
    void AddControllerMarks();
    void AddEqualizer();
    void AddEqViewSwitches();
    void AddSectionControls();
    void AddTooltips();
    void ShowPositions(int first, int last, bool show);

    OrvoEditor& editor_;
    Graphics* graphics_;
    std::vector<std::unique_ptr<Control>> controls_;
    std::array<FileSelectorControl*, 5> choosers_{};
    std::array<BitmapControl*, 6> effectImages_{};
    TextControl* statusLine_ = nullptr;
    Control* compareBack_ = nullptr;
    TextControl* compareLine_ = nullptr;
    Control* progressBack_ = nullptr;
    TextControl* progressLine_ = nullptr;
    std::array<TextControl*, kUnitParamCount> valueTexts_{};
    std::array<Control*, kUnitParamCount> positionControls_{};
    std::array<Control*, kUnitParamCount> controllerMarks_{};
    std::array<bool, kUnitParamCount> learned_{};
    ParaGraphicEq* equalizer_ = nullptr;
    KeyboardControl* keyboard_ = nullptr;
    Control* about_ = nullptr;
    // [shown view][switch], as kEqViewTabs places them.
    std::array<std::array<Control*, kEqViewCount>, kEqViewCount> viewSwitches_{};
};
