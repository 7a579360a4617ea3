#include "library/MakePlugin.h"

#include <memory>
#include <mutex>
#include <new>

#include "editor/OrvoEditor.h"
#include "library/Librarian.h"

OrvoEditor* MakePlugin(MidiOutputPort* output, const uint16_t* outputChannel,
                       const std::string& settingsPath, bool layoutEditing) {
    static std::mutex factoryLock;
    std::lock_guard<std::mutex> hold(factoryLock);
    OrvoEditor* editor = new (std::nothrow) OrvoEditor(output, outputChannel);
    if (editor == nullptr) return nullptr;
    editor->BuildPanel(settingsPath, layoutEditing);
    editor->AttachPrograms(std::make_unique<Librarian>(*editor, settingsPath));
    return editor;
}
