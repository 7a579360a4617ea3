#pragma once

// What the plug-in core needs of an attached panel. The graphics core implements it; the core
// owns the object once it is attached.
class PluginGui {
public:
    virtual ~PluginGui() = default;
    // Hands a parameter value to every control bound to the index; a plain value is normalised
    // first unless alreadyNormalized is set.
    virtual void SetParamFromCore(int index, double value, bool alreadyNormalized) = 0;
    virtual void PrepareDrawing() = 0;
    virtual void WindowResized(int width, int height) = 0;
};

// The panel's resize control, which attaches itself to the panel when the panel is attached.
class PluginGuiResize {
public:
    virtual ~PluginGuiResize() = default;
    virtual void AttachTo(PluginGui& gui) = 0;
};
