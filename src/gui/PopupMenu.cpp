#include "gui/PopupMenu.h"

#include <cstdio>

void PopupMenu::AddItem(const std::string& text, int flags) {
    Item item;
    item.text = text;
    item.flags = flags;
    items_.push_back(std::move(item));
}

PopupMenu* PopupMenu::AddSubmenu(const std::string& text, std::unique_ptr<PopupMenu> submenu) {
    Item item;
    item.text = text;
    item.submenu = std::move(submenu);
    items_.push_back(std::move(item));
    return items_.back().submenu.get();
}

std::string PopupMenu::ShownText(int i) const {
    const std::string& text = ItemAt(i).text;
    static const char* const kFormats[] = {nullptr, "%1d: %s", "%02d: %s", "%03d: %s"};
    if (numbering_ < 1 || numbering_ > 3) return text;
    char shown[512];
    std::snprintf(shown, sizeof shown, kFormats[numbering_], i + 1, text.c_str());
    return shown;
}

int PopupMenu::AssignCommands(int start) {
    firstCommand_ = start;
    int next = start + ItemCount();
    for (Item& item : items_) {
        if (item.submenu) next = item.submenu->AssignCommands(next);
    }
    return next;
}

PopupMenu* PopupMenu::Choose(int command) {
    if (command >= firstCommand_ && command < firstCommand_ + ItemCount()) {
        chosen_ = command - firstCommand_;
        return this;
    }
    for (Item& item : items_) {
        if (!item.submenu) continue;
        if (PopupMenu* owner = item.submenu->Choose(command)) return owner;
    }
    return nullptr;
}
