#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "editor/OrvoEditor.h"
#include "library/Librarian.h"
#include "support/FakeEditorPanel.h"

// The real editor and librarian with a panel that records what it is shown, sending to port;
// the librarian keeps its settings in the file given (none: empty). The tests of the library,
// the firmware update and the transfer fuzzer all start from it.
struct EditorWithLibrarian {
    explicit EditorWithLibrarian(MidiOutputPort& port, const std::string& settings = "")
        : editor(&port, &channel) {
        auto shown = std::make_unique<FakePanel>();
        panel = shown.get();
        editor.AttachPanel(std::move(shown));
        auto programs = std::make_unique<Librarian>(editor, settings);
        librarian = programs.get();
        editor.AttachPrograms(std::move(programs));
    }

    uint16_t channel = 1;
    OrvoEditor editor;
    FakePanel* panel = nullptr;
    Librarian* librarian = nullptr;
};
