#include "platform/qt/QtPlatform.h"

#include "gui/GraphicsFactory.h"
#include "platform/qt/GraphicsQt.h"
#include "platform/qt/QtTextRenderer.h"
#include "raster/TextRenderer.h"

QtPlatform::QtPlatform(const std::string& userDataFolder)
    : textRenderer_(std::make_unique<QtTextRenderer>()) {
    raster::SetTextRenderer(textRenderer_.get());
    SetGraphicsFactory([userDataFolder](PluginBase* core) {
        auto* graphics = new GraphicsQt(core);
        graphics->SetAppDataFolder(userDataFolder);
        return graphics;
    });
}

QtPlatform::~QtPlatform() {
    SetGraphicsFactory({});
    raster::SetTextRenderer(nullptr);
}
