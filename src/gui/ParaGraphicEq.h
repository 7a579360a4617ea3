#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "gui/Control.h"
#include "gui/EqBand.h"
#include "gui/EqScale.h"
#include "gui/EqSettings.h"

class ClipCanvas;

// The equalizer drawn as a frequency response: a logarithmic frequency grid, a decibel grid,
// one handle per band, the summed curve and, while a handle is held, a label with the band's
// frequency, gain and width. Left drag moves a band's frequency and gain, right drag its width.
// The display knows nothing of the unit: the editor sets every band through a band record and
// learns of a user change through the bound parameter, whose value is the edited band's index
// over the band count less one.
//
// The editor may set bands from the MIDI input thread (a learned controller moving an
// equalizer parameter) while the GUI thread draws or drags; the bands are guarded by a lock of
// their own, which is never held while the value goes to the core.
class ParaGraphicEq : public Control {
public:
    // Handles are caught within this many pixels on both axes.
    static constexpr int kHandleCatch = 10;
    // Width steps of a right-button drag.
    static constexpr float kWidthStep = 0.1f;

    ParaGraphicEq(PluginBase* core, const Rect& rect, int paramIndex, const EqSettings& settings);

    // Takes one band's values and limits from the editor; a record for a band the display does
    // not have is ignored.
    void SetBand(const EqBandRecord& record);
    int BandCount() const { return static_cast<int>(bands_.size()); }
    // The band's current values and limits, read back by the editor after a user change.
    EqBandRecord BandRecord(int index) const;
    // The band itself, for the GUI thread and tests.
    const EqBand& Band(int index) const { return bands_[static_cast<size_t>(index)]; }
    int CurrentBand() const { return currentBand_; }
    const EqSettings& Settings() const { return settings_; }
    const EqScale& Scale() const { return scale_; }

    // The summed response of all bands per column, as last drawn. GUI thread.
    const std::vector<float>& Curve() const { return curve_; }
    // The handle's centre relative to the display's top-left. GUI thread.
    int HandleX(int band) const;
    int HandleY(int band) const;

    // One label of the grid: its text, the box it is placed in, the box its text covers, and
    // whether it labels a gain line (else a frequency line).
    struct GridLabel {
        std::string text;
        Rect place;
        Rect extent;
        bool gain = false;
    };
    // The labels the grid shows at the current size, frequencies first, then gains. Where the
    // whole list would run together (a small zoom), only every second (third, ...) label of an
    // axis is shown, always with the middle one. Measured once per size of the display.
    const std::vector<GridLabel>& GridLabels(Graphics& graphics);

    // Brings the cached responses up to date for the current size and sums them into Curve().
    void UpdateCurve();
    // The same, returning a copy; safe beside SetBand on another thread.
    std::vector<float> CurveNow();

    void OnPress(int x, int y, const MouseKeys& keys) override;
    void OnDrag(int x, int y, int dx, int dy, const MouseKeys& keys) override;
    void OnRelease(int x, int y, const MouseKeys& keys) override;
    bool Draw(Graphics& graphics) override;
    // Follows the panel's zoom: the labels, their room, the handles and the value labels are
    // drawn at their 100 % sizes times factor, the grid labels never below a legible size.
    void ApplyScale(double factor) override;
    double Zoom() const { return zoom_; }
    // A length at 100 % at the current zoom, truncated, at least 1.
    int Zoomed(double length) const;

private:
    void DrawGrid(Graphics& graphics, ClipCanvas& canvas);
    void DrawCurve(ClipCanvas& canvas);
    void DrawHandles(ClipCanvas& canvas);
    void DrawValueLabels(Graphics& graphics);
    void DragWidth(EqBand& band, int dx, int dy);
    void DragFrequencyAndGain(EqBand& band, int x, int y);
    double BandValue(int band) const;

    void SumResponses();

    mutable std::mutex bandsLock_;
    EqSettings settings_;
    EqScale scale_;
    std::vector<EqBand> bands_;
    std::vector<int> frequencyGrid_;
    std::vector<int> gainGrid_;
    std::vector<float> curve_;
    int currentBand_ = 0;
    int drawnWidth_ = -1;
    int drawnHeight_ = -1;
    // The grid's labels as last measured, for the rectangle they were measured in.
    std::vector<GridLabel> gridLabels_;
    Rect gridLabelsRect_;
    int gridLabelsSize_ = 0;
    TextStyle frequencyLabelStyle_;
    TextStyle gainLabelStyle_;
    TextStyle valueLabelStyle_;
    double zoom_ = 1.0;
};
