#include "platform/qt/QtPlatform.h"

#include "gui/GraphicsFactory.h"
#include "platform/qt/GraphicsQt.h"
#include "platform/qt/QtTextRenderer.h"
#include "raster/TextRenderer.h"

QtPlatform::QtPlatform() : textRenderer_(std::make_unique<QtTextRenderer>()) {
    raster::SetTextRenderer(textRenderer_.get());
    SetGraphicsFactory([](PluginBase* core) { return new GraphicsQt(core); });
}

QtPlatform::~QtPlatform() {
    SetGraphicsFactory({});
    raster::SetTextRenderer(nullptr);
}
