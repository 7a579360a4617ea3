#pragma once

#include <gtest/gtest.h>

#include "support/EditorWithLibrarian.h"

// The library tests' editor, sending to a port of the test's kind.
template <typename Port>
class LibrarianFixture : public ::testing::Test {
protected:
    void SetUp() override {
        // What the editor sent while it restored its program is no part of any test.
        port_.Clear();
    }

    Port port_;
    EditorWithLibrarian rig_{port_};
    OrvoEditor& editor_ = rig_.editor;
    FakePanel*& panel_ = rig_.panel;
    Librarian*& librarian_ = rig_.librarian;
};
