#pragma once

#include <memory>
#include <string>
#include <vector>

// A pop-up menu for value entry and the panel's own choices. Items may open submenus, which the
// menu owns. Each menu and submenu takes a block of command numbers when it is shown, so the
// window layer can map the command it gets back to the (sub)menu and item chosen.
class PopupMenu {
public:
    enum ItemFlag : int {
        kItemGrayed = 1,
        kItemDisabled = 2,
        kItemChecked = 4,
        kItemSeparator = 8,
    };
    // How item texts are numbered with their 1-based position in their own menu.
    enum Numbering : int {
        kNumberNone = 0,
        kNumberOneDigit = 1,
        kNumberTwoDigits = 2,
        kNumberThreeDigits = 3
    };

    struct Item {
        std::string text;
        int flags = 0;
        std::unique_ptr<PopupMenu> submenu;
    };

    explicit PopupMenu(int numbering = kNumberNone) : numbering_(numbering) {}

    void AddItem(const std::string& text, int flags = 0);
    // Adds an item that opens the given submenu; the menu takes it over.
    PopupMenu* AddSubmenu(const std::string& text, std::unique_ptr<PopupMenu> submenu);
    void AddSeparator() { AddItem("", kItemSeparator); }

    int ItemCount() const { return static_cast<int>(items_.size()); }
    const Item& ItemAt(int i) const { return items_[static_cast<size_t>(i)]; }
    // The text as shown, numbering applied.
    std::string ShownText(int i) const;
    int Numbering() const { return numbering_; }
    void SetNumbering(int numbering) { numbering_ = numbering; }

    // Gives this menu the commands start .. start + count - 1, then its submenus the following
    // blocks, depth first; returns the next free command.
    int AssignCommands(int start);
    int CommandOf(int item) const { return firstCommand_ + item; }
    // Finds the (sub)menu owning the command, sets its chosen item and returns it; null when no
    // menu owns the command.
    PopupMenu* Choose(int command);

    int ChosenIndex() const { return chosen_; }
    void SetChosenIndex(int index) { chosen_ = index; }

private:
    std::vector<Item> items_;
    int numbering_;
    int firstCommand_ = 0;
    int chosen_ = -1;
};
