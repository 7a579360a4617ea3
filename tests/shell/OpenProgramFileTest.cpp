// Program files handed to the program: on its command line, and by a second start to the one
// that runs. The editor's output goes straight to a virtual unit, which must end up holding the
// file's program.
#include <gtest/gtest.h>

#include <QApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTimer>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include <QMessageBox>

#include "editor/OrvoEditor.h"
#include "gui/GraphicsFactory.h"
#include "library/MakePlugin.h"
#include "platform/qt/GraphicsQt.h"
#include "shell/Application.h"
#include "shell/MainWindow.h"
#include "shell/ShellTestSupport.h"
#include "support/SimOutputPort.h"
#include "unit/ProgramConversion.h"
#include "unit/ProgramText.h"
#include "util/ProfileFile.h"

namespace {

constexpr int kCheckedPositions = 90;  // slots 0..89 are positions 0..89

// A program unlike the default one in every slot the unit holds as it is.
ProgramValues ProgramWithSeed(int seed) {
    ProgramValues values{};
    for (size_t slot = 0; slot < values.size(); ++slot)
        values[slot] = static_cast<int>((slot * 7 + static_cast<size_t>(seed) * 13) % 90) - 20;
    return ClampProgramValues(values);
}

bool UnitHolds(const VirtualOrvo& unit, const ProgramValues& program) {
    for (int position = 0; position < kCheckedPositions; ++position) {
        if (unit.EditValue(position) != program[static_cast<size_t>(position)]) return false;
    }
    return true;
}

// The output to the virtual unit, noting whether the unit held a given program at some point.
class WatchingSimPort : public SimOutputPort {
public:
    WatchingSimPort(VirtualOrvo& unit, const ProgramValues& watched)
        : SimOutputPort(unit), unit_(unit), watched_(watched) {}
    void SendMessage(const uint8_t* bytes, size_t size) override {
        SimOutputPort::SendMessage(bytes, size);
        if (!unit_.InUpdate() && UnitHolds(unit_, watched_)) heldWatched = true;
    }
    bool heldWatched = false;

private:
    VirtualOrvo& unit_;
    ProgramValues watched_;
};

// The application's panel with its message boxes noted and closed at once.
class NotingGraphics : public GraphicsQt {
public:
    using GraphicsQt::GraphicsQt;
    int ExecMessageBox(QMessageBox& box) override {
        boxes.push_back(box.windowTitle().toStdString() + ": " + box.text().toStdString());
        return QMessageBox::Ok;
    }
    static inline std::vector<std::string> boxes;
};

// Starts the program a second time in folder with one argument.
void StartSecond(QProcess& second, const std::string& folder, const std::string& argument) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("LSAN_OPTIONS", "detect_leaks=0");
    second.setProcessEnvironment(env);
    second.setWorkingDirectory(QString::fromStdString(folder));
    second.start(ORVO_EDITOR_PATH, {QString::fromStdString(argument)});
}

// The same, waiting for it to end; its exit code, -1 when it crashed or did not end.
int SecondStart(const std::string& folder, const std::string& argument) {
    QProcess second;
    StartSecond(second, folder, argument);
    if (!second.waitForFinished(20000) || second.exitStatus() != QProcess::NormalExit) return -1;
    return second.exitCode();
}

// Pumps the event loop until done() holds, at most the time given.
bool EventuallyInLoop(const std::function<bool()>& done, std::chrono::milliseconds within) {
    const auto end = std::chrono::steady_clock::now() + within;
    while (std::chrono::steady_clock::now() < end) {
        if (done()) return true;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return done();
}

// One start of the program, its editor speaking to unit, with a last program and a program file.
struct ProgramFiles {
    ShellEnvironment environment;
    VirtualOrvo unit;
    ProgramValues last = ProgramWithSeed(1);
    ProgramValues opened = ProgramWithSeed(2);
    ProgramValues handed = ProgramWithSeed(3);
    std::string openedPath = environment.config.File("opened bass.prg");
    std::string handedPath = environment.config.File("handed.prg");
    WatchingSimPort port{unit, last};
    OrvoEditor* editor = nullptr;
    // The panel the editor gets; the platform's own when empty.
    GraphicsFactory graphics;

    ProgramFiles() {
        // The last session ended with a program of its own in the editor.
        environment.WriteSettingsFile("[program]\nlastfile=" + environment.config.File("old.prg") +
                                      "\n");
        TempDir::Write(environment.config.Path() + "/OrvodyneEditor/lastprogram.prg",
                       FormatProgramText(last));
        TempDir::Write(openedPath, FormatProgramText(opened));
        TempDir::Write(handedPath, FormatProgramText(handed));
    }

    // Runs the program as main does, with these arguments and the driver in its message loop.
    int Run(std::vector<std::string> arguments, std::function<void(Shell&)> driver) {
        arguments.insert(arguments.begin(), "orvo-editor");
        std::vector<char*> argv;
        for (std::string& argument : arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        Shell::Options options;
        const std::string settings = environment.SettingsPath();
        options.makePlugin = [this, settings](MidiOutputPort*, const uint16_t* channel) {
            // The platform has set its own panel by now; a test's replaces it.
            if (graphics) SetGraphicsFactory(graphics);
            editor = MakePlugin(&port, channel, settings);
            return editor;
        };
        options.running = [driver](Shell& shell) {
            QTimer::singleShot(0, [driver, &shell] { driver(shell); });
        };
        return RunEditor(static_cast<int>(arguments.size()), argv.data(), options);
    }

    std::string LastFileSetting() const {
        return ReadProfileString(environment.SettingsPath(), "program", "lastfile", "", 4096);
    }
};

}  // namespace

TEST(OpenProgramFile, AFileOnTheCommandLineReplacesTheRestoredProgram) {
    ProgramFiles files;
    bool heldOpened = false;
    std::string chooser;
    QString title;
    const int code = files.Run({files.openedPath}, [&](Shell& shell) {
        heldOpened = UnitHolds(files.unit, files.opened);
        chooser = files.editor->Panel()->ChooserPath(kParamProgramLoadFile);
        EventuallyInLoop([&] { return shell.Window()->windowTitle().contains("opened"); },
                         std::chrono::seconds(5));
        title = shell.Window()->windowTitle();
        shell.Quit();
    });
    EXPECT_EQ(code, Shell::kExitOk);
    EXPECT_TRUE(files.port.heldWatched) << "the last program was not restored first";
    EXPECT_TRUE(heldOpened) << "the unit does not hold the opened file's program";
    EXPECT_EQ(chooser, files.openedPath);
    EXPECT_EQ(title, "Orvo Editor \u2014 opened bass");
    // As after the Load button: the file is the one the next session starts from.
    EXPECT_EQ(files.LastFileSetting(), files.openedPath);
}

TEST(OpenProgramFile, ASecondStartHandsItsFileToTheRunningEditorAndEnds) {
    ProgramFiles files;
    int secondExit = -1;
    bool heldHanded = false;
    std::string chooser;
    const int code = files.Run({}, [&](Shell& shell) {
        // A relative name: the second start makes it absolute before handing it over.
        secondExit = SecondStart(files.environment.config.Path(), "handed.prg");
        // The running editor takes the request once its loop runs again.
        heldHanded = EventuallyInLoop([&] { return UnitHolds(files.unit, files.handed); },
                                      std::chrono::seconds(10));
        chooser = files.editor->Panel()->ChooserPath(kParamProgramLoadFile);
        shell.Quit();
    });
    EXPECT_EQ(code, Shell::kExitOk);
    EXPECT_EQ(secondExit, 0);
    EXPECT_TRUE(heldHanded) << "the running editor did not load the handed file";
    EXPECT_EQ(chooser, files.handedPath);
    EXPECT_EQ(files.LastFileSetting(), files.handedPath);
}

// Handed from the desktop, where nobody reads the terminal: the running editor says in a box why
// the file changes nothing.
TEST(OpenProgramFile, AFileThatCannotBeLoadedIsNamedInABoxAndChangesNothing) {
    ProgramFiles files;
    const std::string bad = files.environment.config.File("07 broken.prg");
    TempDir::Write(bad, "");
    NotingGraphics::boxes.clear();
    files.graphics = [](PluginBase* core) { return new NotingGraphics(core); };
    int secondExit = -1;
    bool boxShown = false;
    std::string status;
    QProcess second;
    QTimer poll;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    const int code = files.Run({}, [&](Shell& shell) {
        // The running editor's loop goes on while the second start runs: the box comes from it.
        StartSecond(second, files.environment.config.Path(), "07 broken.prg");
        QObject::connect(&poll, &QTimer::timeout, [&] {
            const bool ended = second.state() == QProcess::NotRunning;
            boxShown = !NotingGraphics::boxes.empty();
            if (!(ended && boxShown) && std::chrono::steady_clock::now() < end) return;
            if (ended && second.exitStatus() == QProcess::NormalExit)
                secondExit = second.exitCode();
            status = files.editor->Panel()->StatusLine();
            poll.stop();
            shell.Quit();
        });
        poll.start(20);
    });
    EXPECT_EQ(code, Shell::kExitOk);
    EXPECT_EQ(secondExit, 0) << "the file goes to the editor that runs";
    ASSERT_TRUE(boxShown);
    EXPECT_EQ(NotingGraphics::boxes[0],
              "Error: The program file \"" + bad + "\" cannot be used: the file is empty.");
    EXPECT_TRUE(UnitHolds(files.unit, files.last)) << "the unit keeps the restored program";
    EXPECT_EQ(status, "old");
    EXPECT_EQ(files.LastFileSetting(), files.environment.config.File("old.prg"));
}
