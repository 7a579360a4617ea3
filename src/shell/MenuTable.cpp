#include "shell/MenuTable.h"

namespace menu {

const char* const kMenuTitles[4] = {"&File", "&MIDI", "&View", "&Help"};

const Item kItems[] = {
    {0, "Select Directory", kSelectDirectory},
    {0, nullptr, 0},
    {0, "Load Program", kLoadProgram},
    {0, "Save Program", kSaveProgram},
    {0, "Write Program from File to Orvo", kWriteProgram},
    {0, "Write all Programs from Files to Orvo", kWriteAllPrograms},
    {0, "Save Program from Orvo to File", kSaveFromUnit},
    {0, "Save All Programs from Orvo to Files", kSaveAllFromUnit},
    {0, nullptr, 0},
    {0, "Firmware update", kFirmwareUpdate},
    {0, nullptr, 0},
    {0, "&Quit", kQuit},
    {1, "Preferences...", kPreferences},
    {1, "MIDI Monitor", kMidiMonitor},
    {2, "70%", kZoom70},
    {2, "80%", kZoom80},
    {2, "90%", kZoom90},
    {2, nullptr, 0},
    {2, "100%", kZoom100},
    {2, nullptr, 0},
    {2, "110%", kZoom110},
    {2, "120%", kZoom120},
    {2, "130%", kZoom130},
    {3, "&User Guide", kUserGuide},
    {3, "&Program Database", kProgramDatabase},
    {3, "&About", kAbout},
};
const int kItemCount = sizeof kItems / sizeof kItems[0];

namespace {
struct Route {
    Id id;
    EditorCommand command;
};
// kHalfPanel, kFullPanel and kZoom200 have no menu item; they come from other senders of
// commands.
constexpr Route kRoutes[] = {
    {kSelectDirectory, kCommandSelectDirectory},
    {kLoadProgram, kCommandLoadProgram},
    {kSaveProgram, kCommandSaveProgram},
    {kWriteProgram, kCommandWriteProgram},
    {kWriteAllPrograms, kCommandWriteAllPrograms},
    {kFirmwareUpdate, kCommandFirmwareUpdate},
    {kUserGuide, kCommandUserGuide},
    {kProgramDatabase, kCommandProgramDatabase},
    {kHalfPanel, kCommandHalfPanel},
    {kFullPanel, kCommandFullPanel},
    {kZoom70, kCommandZoom70},
    {kZoom80, kCommandZoom80},
    {kZoom90, kCommandZoom90},
    {kZoom100, kCommandZoom100},
    {kZoom110, kCommandZoom110},
    {kZoom120, kCommandZoom120},
    {kZoom130, kCommandZoom130},
    {kZoom200, kCommandZoom200},
    {kSaveFromUnit, kCommandSaveFromUnit},
    {kSaveAllFromUnit, kCommandSaveAllFromUnit},
};
}  // namespace

std::optional<EditorCommand> EditorCommandFor(int id) {
    for (const Route& route : kRoutes) {
        if (route.id == id) return route.command;
    }
    return std::nullopt;
}

}  // namespace menu
