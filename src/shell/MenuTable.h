#pragma once

#include <optional>

// The menu bar and where each command identifier goes.
namespace menu {

// Identifiers the shell handles itself.
constexpr int kAbout = 40005;
constexpr int kPreferences = 40006;
constexpr int kQuit = 40007;
constexpr int kMidiMonitor = 40047;
// The Edit menu's identifiers, handed to the editor.
constexpr int kUndo = 40048;
constexpr int kRedo = 40049;
constexpr int kCompare = 40050;
// The editor's command number for About; when it reports false the shell shows its own box.
constexpr int kAboutCommand = 0;
// The once-a-second tick, which no identifier carries.
constexpr int kTickCommand = 9;

struct Item {
    int menu;          // index into kMenuTitles
    const char* text;  // null: a separator
    int id;
    const char* keys = nullptr;  // key sequences in Qt's portable text, "; " between two
    bool toggle = false;         // shows a check mark while the editor reports it on
};

constexpr int kMenuCount = 5;
extern const char* const kMenuTitles[kMenuCount];
extern const Item kItems[];
extern const int kItemCount;

// The editor command an identifier is handed to as DoCommand; nothing for the shell's own
// identifiers and for identifiers nobody handles.
std::optional<int> EditorCommandFor(int id);

}  // namespace menu
