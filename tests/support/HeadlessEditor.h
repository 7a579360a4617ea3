#pragma once

#include <memory>
#include <string>

#include "editor/OrvoEditor.h"
#include "gui/GraphicsFactory.h"
#include "gui/HeadlessGraphics.h"
#include "library/MakePlugin.h"

// The editor as the program makes it, on a panel without a window whose message boxes, choosers
// and links the test answers and reads.
struct HeadlessEditor {
    std::unique_ptr<OrvoEditor> editor;
    HeadlessGraphics* graphics = nullptr;

    HeadlessEditor(MidiOutputPort* port, const uint16_t* channel,
                   const std::string& settingsPath = {}) {
        SetGraphicsFactory([this](PluginBase* core) {
            graphics = new HeadlessGraphics(core);
            return graphics;
        });
        editor.reset(MakePlugin(port, channel, settingsPath));
        SetGraphicsFactory({});
    }
};
