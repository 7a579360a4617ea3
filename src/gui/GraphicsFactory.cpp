#include "gui/GraphicsFactory.h"

#include <mutex>

#include "gui/Graphics.h"

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
    return factory ? factory(core) : new Graphics(core);
}
