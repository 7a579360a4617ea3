#pragma once

#include <optional>

// The panel's scale when the main window opens: a stored scale at which the 800-pixel-high
// panel and half the window's frame would not fit the screen's available height shrinks until
// it does. Nothing when the stored scale fits or none was stored (negative).
inline std::optional<double> FitGuiScale(double storedScale, int availableHeight,
                                         int halfFrameHeight) {
    constexpr double kPanelHeight = 800.0;
    if (storedScale * kPanelHeight + halfFrameHeight <= availableHeight) return std::nullopt;
    return (availableHeight - halfFrameHeight) / kPanelHeight;
}
