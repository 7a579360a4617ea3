#include "gui/GraphicsFactory.h"

#include <mutex>

#include "gui/HeadlessGraphics.h"

namespace {
std::mutex& FactoryLock() {
    static std::mutex lock;
    return lock;
}
GraphicsFactory& Factory() {
    static GraphicsFactory factory;
    return factory;
}
}  // namespace

void SetGraphicsFactory(GraphicsFactory factory) {
    std::lock_guard<std::mutex> hold(FactoryLock());
    Factory() = std::move(factory);
}

Graphics* CreateGraphics(PluginBase* core) {
    GraphicsFactory factory;
    {
        std::lock_guard<std::mutex> hold(FactoryLock());
        factory = Factory();
    }
    // Without a window layer the panel draws as it would in one and shows nothing.
    return factory ? factory(core) : new HeadlessGraphics(core);
}
