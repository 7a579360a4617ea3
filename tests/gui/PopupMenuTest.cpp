#include <gtest/gtest.h>

#include "gui/PopupMenu.h"

namespace {

TEST(PopupMenu, NumberingModesPrefixThePosition) {
    PopupMenu menu(PopupMenu::kNumberTwoDigits);
    for (const char* text : {"a", "b", "c", "d", "Fat Bass"})
        menu.AddItem(text);
    EXPECT_EQ(menu.ShownText(4), "05: Fat Bass");
    menu.SetNumbering(PopupMenu::kNumberOneDigit);
    EXPECT_EQ(menu.ShownText(4), "5: Fat Bass");
    menu.SetNumbering(PopupMenu::kNumberThreeDigits);
    EXPECT_EQ(menu.ShownText(0), "001: a");
    menu.SetNumbering(PopupMenu::kNumberNone);
    EXPECT_EQ(menu.ShownText(0), "a");
}

TEST(PopupMenu, CommandsMapBackToTheOwningSubmenu) {
    PopupMenu menu;
    menu.AddItem("one");
    auto sub = std::make_unique<PopupMenu>(PopupMenu::kNumberTwoDigits);
    sub->AddItem("x");
    sub->AddItem("y");
    PopupMenu* inner = menu.AddSubmenu("more", std::move(sub));
    menu.AddItem("three");
    // The menu reserves its three items first, then the submenu follows.
    EXPECT_EQ(menu.AssignCommands(1), 6);
    EXPECT_EQ(menu.CommandOf(2), 3);
    EXPECT_EQ(inner->CommandOf(1), 5);
    EXPECT_EQ(menu.Choose(5), inner);
    EXPECT_EQ(inner->ChosenIndex(), 1);
    EXPECT_EQ(menu.Choose(3), &menu);
    EXPECT_EQ(menu.ChosenIndex(), 2);
    EXPECT_EQ(menu.Choose(9), nullptr);
}

}  // namespace
