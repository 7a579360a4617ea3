#include "editor/MakePlugin.h"

#include <mutex>
#include <new>

#include "editor/OrvoEditor.h"

OrvoEditor* MakePlugin(MidiOutputPort* output, const uint16_t* outputChannel) {
    static std::mutex factoryLock;
    std::lock_guard<std::mutex> hold(factoryLock);
    return new (std::nothrow) OrvoEditor(output, outputChannel);
}
