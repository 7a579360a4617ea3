#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "editor/OrvoEditor.h"
#include "library/Librarian.h"
#include "support/FakeEditorPanel.h"

// The library tests' editor: the real editor and librarian (no settings file) with a panel that
// records what it is shown, sending to a port of the test's kind.
template <typename Port>
class LibrarianFixture : public ::testing::Test {
protected:
    void SetUp() override {
        auto panel = std::make_unique<FakePanel>();
        panel_ = panel.get();
        editor_.AttachPanel(std::move(panel));
        auto librarian = std::make_unique<Librarian>(editor_, "");
        librarian_ = librarian.get();
        editor_.AttachPrograms(std::move(librarian));
        // What the editor sent while it restored its program is no part of any test.
        port_.Clear();
    }

    Port port_;
    uint16_t channel_ = 1;
    OrvoEditor editor_{&port_, &channel_};
    FakePanel* panel_ = nullptr;
    Librarian* librarian_ = nullptr;
};
