#pragma once

#include <functional>

class Graphics;
class PluginBase;

// Who makes the graphics core of a panel. The window layer registers its own at start-up, so
// that a panel built by the editor can live in a window; without one the panel is drawn without
// a window (tests, tools).
using GraphicsFactory = std::function<Graphics*(PluginBase* core)>;

void SetGraphicsFactory(GraphicsFactory factory);
Graphics* CreateGraphics(PluginBase* core);
