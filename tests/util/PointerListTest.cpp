#include "util/PointerList.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
struct Tracked {
    explicit Tracked(int id, std::vector<int>& log) : id_(id), log_(log) {}
    ~Tracked() { log_.push_back(id_); }
    int id_;
    std::vector<int>& log_;
};
}  // namespace

TEST(PointerList, IndexOutsideTheListIsNull) {
    PointerList<int> list;
    int a = 1;
    EXPECT_EQ(list.At(0), nullptr);
    EXPECT_EQ(list.Append(&a), &a);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list.At(0), &a);
    EXPECT_EQ(list.At(1), nullptr);
    EXPECT_EQ(list.At(-1), nullptr);
}

TEST(PointerList, ClearDeletesLastFirstOnlyWhenAsked) {
    std::vector<int> deleted;
    PointerList<Tracked> list;
    Tracked kept(9, deleted);
    list.Append(&kept);
    list.Clear(false);
    EXPECT_TRUE(deleted.empty());
    for (int id = 1; id <= 3; ++id)
        list.Append(new Tracked(id, deleted));
    list.Clear(true);
    EXPECT_EQ(deleted, (std::vector<int>{3, 2, 1}));
    EXPECT_EQ(list.Count(), 0);
}
