#pragma once

#include <string>
#include <vector>

#include "gui/Control.h"
#include "gui/Graphics.h"

// A control that writes down every handler the graphics core calls, and draws a plain fill of
// its colour so redraws can be seen in pixels.
class ProbeControl : public Control {
public:
    ProbeControl(PluginBase* core, const Rect& rect, int paramIndex = -1, uint32_t colour = 0)
        : Control(core, rect, paramIndex), colour_(colour) {}

    void OnPress(int x, int y, const MouseKeys& keys) override {
        Log("press", x, y);
        Control::OnPress(x, y, keys);
    }
    void OnRelease(int x, int y, const MouseKeys&) override { Log("release", x, y); }
    void OnDrag(int x, int y, int dx, int dy, const MouseKeys&) override {
        Log("drag", x, y);
        calls.back() += " " + std::to_string(dx) + "," + std::to_string(dy);
    }
    void OnDoubleClick(int x, int y, const MouseKeys& keys) override {
        Log("double", x, y);
        Control::OnDoubleClick(x, y, keys);
    }
    void OnWheel(int x, int y, const MouseKeys&, int steps) override {
        Log("wheel", x, y);
        calls.back() += " " + std::to_string(steps);
    }
    bool OnKey(int x, int y, int key) override {
        Log("key", x, y);
        calls.back() += " " + std::to_string(key);
        return takesKeys;
    }
    void OnHover(int x, int y, const MouseKeys&) override { Log("hover", x, y); }
    void OnLeave() override { calls.push_back("leave"); }
    bool Draw(Graphics& graphics) override {
        ++draws;
        if (redrawWhileDrawing) SetRedrawAgain();
        if (colour_ != 0) {
            ColorARGB c{static_cast<int>(colour_ >> 24), static_cast<int>(colour_ >> 16 & 0xFF),
                        static_cast<int>(colour_ >> 8 & 0xFF), static_cast<int>(colour_ & 0xFF)};
            graphics.FillRect(c, drawRect_, nullptr);
        }
        return true;
    }

    std::string Last() const { return calls.empty() ? "" : calls.back(); }

    std::vector<std::string> calls;
    int draws = 0;
    bool takesKeys = true;
    bool redrawWhileDrawing = false;

private:
    void Log(const char* what, int x, int y) {
        calls.push_back(std::string(what) + " " + std::to_string(x) + "," + std::to_string(y));
    }

    uint32_t colour_;
};
