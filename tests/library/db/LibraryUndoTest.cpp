#include "library/db/LibraryUndo.h"

#include <gtest/gtest.h>

#include "library/db/LibraryDatabase.h"
#include "support/DistinctProgram.h"
#include "support/TempDir.h"

namespace {

class LibraryUndoTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(database_.Open().Usable());
        for (int seed = 0; seed < 3; ++seed) {
            ids_.push_back(database_
                               .AddProgram(DistinctProgram(seed), "p" + std::to_string(seed),
                                           {SourceKind::kUnit, "", seed + 1, 100})
                               ->id);
        }
    }

    TempDir dir_;
    LibraryDatabase database_{dir_.File("library.sqlite")};
    LibraryUndo undo_{database_};
    std::vector<int64_t> ids_;
};

TEST_F(LibraryUndoTest, DeletingASelectionIsOneStepBackAndForth) {
    ASSERT_TRUE(undo_.Delete({ids_[0], ids_[2]}));
    EXPECT_EQ(database_.Count(), 1);
    EXPECT_EQ(undo_.UndoText(), "Delete 2 programs");
    ASSERT_TRUE(undo_.Undo());
    EXPECT_EQ(database_.Count(), 3);
    EXPECT_EQ(database_.Sources(ids_[2]).at(0).location, 3);
    EXPECT_EQ(undo_.RedoText(), "Delete 2 programs");
    ASSERT_TRUE(undo_.Redo());
    EXPECT_EQ(database_.Count(), 1);
    EXPECT_FALSE(database_.Entry(ids_[0]));
}

TEST_F(LibraryUndoTest, MetadataEditsAreTakenBackInTurn) {
    ASSERT_TRUE(undo_.SetMetadata(ids_[1], {"Fat", {"bass"}, true, ""}));
    ASSERT_TRUE(undo_.SetMetadata(ids_[1], {"Fatter", {"bass"}, true, "loud"}));
    EXPECT_EQ(undo_.UndoText(), "Edit Fatter");
    ASSERT_TRUE(undo_.Undo());
    EXPECT_EQ(database_.Entry(ids_[1])->metadata, (LibraryMetadata{"Fat", {"bass"}, true, ""}));
    ASSERT_TRUE(undo_.Undo());
    EXPECT_EQ(database_.Entry(ids_[1])->metadata, (LibraryMetadata{"p1", {}, false, ""}));
    EXPECT_FALSE(undo_.CanUndo());
    EXPECT_FALSE(undo_.Undo());
    ASSERT_TRUE(undo_.Redo());
    EXPECT_EQ(database_.Entry(ids_[1])->metadata.name, "Fat");
    // A new edit drops what could be done again.
    ASSERT_TRUE(undo_.SetMetadata(ids_[0], {"Other", {}, false, ""}));
    EXPECT_FALSE(undo_.CanRedo());
}

TEST_F(LibraryUndoTest, DeletingWhatIsGoneChangesNothing) {
    ASSERT_TRUE(undo_.Delete({ids_[0]}));
    EXPECT_FALSE(undo_.Delete({ids_[1], ids_[0]}));
    EXPECT_EQ(database_.Count(), 2);
    EXPECT_EQ(undo_.UndoText(), "Delete p0");
}

}  // namespace
