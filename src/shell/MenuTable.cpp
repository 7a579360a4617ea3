#include "shell/MenuTable.h"

namespace menu {

const char* const kMenuTitles[kMenuCount] = {"&File", "&Edit", "&MIDI", "&View", "&Help"};

// An entry ends in "..." where a dialog follows before anything is done.
const Item kItems[] = {
    {0, "Select Directory...", kSelectDirectory},
    {0, nullptr, 0},
    {0, "Load Program...", kLoadProgram, "Ctrl+O"},
    {0, "Save Program...", kSaveProgram, "Ctrl+S"},
    {0, "Write Program from File to Orvo...", kWriteProgram},
    {0, "Write all Programs from Files to Orvo...", kWriteAllPrograms},
    {0, "Save Program from Orvo to File...", kSaveFromUnit},
    {0, "Save All Programs from Orvo to Files...", kSaveAllFromUnit},
    {0, "Program &Library", kProgramLibrary, "Ctrl+L"},
    {0, "Stop Transfer", kStopTransfer, "Esc"},
    {0, nullptr, 0},
    {0, "Firmware update...", kFirmwareUpdate},
    {0, nullptr, 0},
    {0, "&Quit", kQuit, "Ctrl+Q"},
    {1, "&Undo", kUndo, "Ctrl+Z"},
    {1, "&Redo", kRedo, "Ctrl+Shift+Z; Ctrl+Y"},
    {1, nullptr, 0},
    {1, "&Compare", kCompare, nullptr, true},
    {2, "Preferences...", kPreferences},
    {2, "Use the virtual Orvo", kUseVirtualOrvo},
    {2, "MIDI Monitor", kMidiMonitor},
    {2, "Bank of the Orvo", kBank},
    {2, nullptr, 0},
    // Checked while learn waits for a control or a controller.
    {2, "Learn MIDI controller", kLearnController, nullptr, true},
    {2, "Controller assignments...", kControllerAssignments},
    // The zoom the panel stands at is checked.
    {3, "Zoom &In", kZoomIn, "Ctrl++; Ctrl+="},
    {3, "Zoom &Out", kZoomOut, "Ctrl+-"},
    {3, nullptr, 0},
    {3, "70%", kZoom70, nullptr, true},
    {3, "80%", kZoom80, nullptr, true},
    {3, "90%", kZoom90, nullptr, true},
    {3, nullptr, 0},
    {3, "100%", kZoom100, "Ctrl+0", true},
    {3, nullptr, 0},
    {3, "110%", kZoom110, nullptr, true},
    {3, "120%", kZoom120, nullptr, true},
    {3, "130%", kZoom130, nullptr, true},
    {4, "&User Guide", kUserGuide},
    {4, "&Program Database", kProgramDatabase},
    {4, "&About", kAbout},
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
    {kUndo, kCommandUndo},
    {kRedo, kCommandRedo},
    {kCompare, kCommandCompare},
    {kZoomIn, kCommandZoomIn},
    {kZoomOut, kCommandZoomOut},
    {kStopTransfer, kCommandStopTransfer},
    {kLearnController, kCommandLearnController},
};
}  // namespace

std::optional<EditorCommand> EditorCommandFor(int id) {
    for (const Route& route : kRoutes) {
        if (route.id == id) return route.command;
    }
    return std::nullopt;
}

}  // namespace menu
