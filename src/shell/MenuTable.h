#pragma once

#include <optional>

// The menu bar and where each command identifier goes.
namespace menu {

// Identifiers the shell handles itself.
constexpr int kAbout = 40005;
constexpr int kPreferences = 40006;
constexpr int kQuit = 40007;
constexpr int kMidiMonitor = 40047;
// The editor's command number for About; when it reports false the shell shows its own box.
constexpr int kAboutCommand = 0;
// The once-a-second tick, which no identifier carries.
constexpr int kTickCommand = 9;

struct Item {
    int menu;          // index into kMenuTitles
    const char* text;  // null: a separator
    int id;
};

extern const char* const kMenuTitles[4];
extern const Item kItems[];
extern const int kItemCount;

// The editor command an identifier is handed to as DoCommand; nothing for the shell's own
// identifiers and for identifiers nobody handles.
std::optional<int> EditorCommandFor(int id);

}  // namespace menu
