#pragma once

#include <string>

// One entry a control's context menu offers beside its value; the core names them
// (PluginBase::ControlMenuEntries).
struct ControlMenuEntry {
    std::string text;
    bool enabled = true;
};
