#include "shell/MenuTable.h"

namespace menu {

const char* const kMenuTitles[kMenuCount] = {"&File", "&Edit", "&MIDI", "&View", "&Help"};

const Item kItems[] = {
    {0, "Select Directory", 40025},
    {0, nullptr, 0},
    {0, "Load Program", 40026},
    {0, "Save Program", 40027},
    {0, "Write Program from File to Orvo", 40028},
    {0, "Write all Programs from Files to Orvo", 40029},
    {0, "Save Program from Orvo to File", 40045},
    {0, "Save All Programs from Orvo to Files", 40046},
    {0, nullptr, 0},
    {0, "Firmware update", 40030},
    {0, nullptr, 0},
    {0, "&Quit", kQuit},
    {1, "&Undo", kUndo, "Ctrl+Z"},
    {1, "&Redo", kRedo, "Ctrl+Shift+Z; Ctrl+Y"},
    {1, nullptr, 0},
    {1, "&Compare", kCompare, nullptr, true},
    {2, "Preferences...", kPreferences},
    {2, "MIDI Monitor", kMidiMonitor},
    {3, "70%", 40037},
    {3, "80%", 40038},
    {3, "90%", 40039},
    {3, nullptr, 0},
    {3, "100%", 40040},
    {3, nullptr, 0},
    {3, "110%", 40041},
    {3, "120%", 40042},
    {3, "130%", 40043},
    {4, "&User Guide", 40031},
    {4, "&Program Database", 40032},
    {4, "&About", kAbout},
};
const int kItemCount = sizeof kItems / sizeof kItems[0];

namespace {
struct Route {
    int id;
    int command;
};
// 40033, 40034 and 40044 have no menu item; they come from other senders of commands.
constexpr Route kRoutes[] = {
    {40025, 1},  {40026, 2},  {40027, 3},  {40028, 4},  {40029, 5},     {40030, 6},
    {40031, 7},  {40032, 8},  {40033, 11}, {40034, 10}, {40037, 12},    {40038, 13},
    {40039, 14}, {40040, 15}, {40041, 16}, {40042, 17}, {40043, 18},    {40044, 19},
    {40045, 20}, {40046, 21}, {kUndo, 22}, {kRedo, 23}, {kCompare, 24},
};
}  // namespace

std::optional<int> EditorCommandFor(int id) {
    for (const Route& route : kRoutes) {
        if (route.id == id) return route.command;
    }
    return std::nullopt;
}

}  // namespace menu
