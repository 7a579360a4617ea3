#include "shell/Shell.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QScreen>
#include <QThread>

#include <chrono>
#include <cstdio>
#include <exception>

#include "editor/OrvoEditor.h"
#include "gui/Graphics.h"
#include "gui/GuiResize.h"
#include "library/MakePlugin.h"
#include "midi/MidiLink.h"
#include "midi/MidiSettings.h"
#include "shell/MainWindow.h"
#include "shell/MenuTable.h"
#include "shell/Preferences.h"
#include "shell/PreferencesDialog.h"
#include "util/DebugPrint.h"

Shell::Shell() : Shell(Options{}) {}

Shell::Shell(Options options) : options_(std::move(options)) {
    if (!options_.makePlugin) {
        options_.makePlugin = [this](MidiOutputPort* output,
                                     const uint16_t* channel) -> PluginBase* {
            return MakePlugin(output, channel, file_.Path());
        };
    }
}

Shell::~Shell() {
    ShutDown();
}

int64_t Shell::NowMs() const {
    if (options_.clockMs) return options_.clockMs();
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

int Shell::Run() {
    try {
        switch (StartUp()) {
            case Start::SecondInstance:
                return 0;
            case Start::NoConfigFolder:
                return 1;
            case Start::Running:
                break;
        }
        RunLoop();
    } catch (const std::exception& error) {
        DebugPrint("another instance running");
        DebugPrint("%s", error.what());
        return 0;
    } catch (...) {
        DebugPrint("another instance running");
        return 0;
    }
    ShutDown();
    return 0;
}

Shell::Start Shell::StartUp() {
    if (!instance_.Claim()) return Start::SecondInstance;
    current_ = std::make_unique<MidiSettings>();
    backup_ = std::make_unique<MidiSettings>();
    if (!file_.Load(*current_)) {
        DebugPrint("could not retrieve the user's application data directory!\n");
        return Start::NoConfigFolder;
    }
    started_ = true;
    WriteSettings();

    link_ = std::make_unique<MidiLink>(
        *current_, [this] { WriteSettings(); }, options_.backend);
    link_->CreateMidiPorts();
    link_->ListMidiPorts();
    link_->OpenOutput(current_->outputName);

    // The output is open, so the program the editor restores reaches the unit as it is built.
    plugin_ = options_.makePlugin(link_->OutputPort(), &current_->outputChannel);
    link_->SetPlugin(plugin_);

    link_->OpenUnitInput(current_->unitInputName);
    link_->OpenKeyboardInput(current_->keyboardInputName);

    CreateMainWindow();
    tick_.Reset(NowMs());
    return Start::Running;
}

void Shell::CreateMainWindow() {
    window_ = new MainWindow(plugin_, *this);
    connect(&instance_, &SingleInstance::RaiseRequested, window_, &MainWindow::BringToFront);
    if (!AttachGui()) {
        std::fputs("couldn't attach gui\n", stdout);
        std::fflush(stdout);
    }
    window_->show();
}

bool Shell::AttachGui() {
    if (plugin_ == nullptr || plugin_->Gui() == nullptr) return false;
    auto* graphics = dynamic_cast<Graphics*>(plugin_->Gui());
    if (graphics == nullptr) return false;
    auto* panel = static_cast<QWidget*>(graphics->CreatePanelWindow(window_->centralWidget()));
    if (panel == nullptr) return false;
    plugin_->GuiOpened();
    if (auto* editor = dynamic_cast<OrvoEditor*>(plugin_); editor != nullptr && editor->Resize()) {
        // The panel at the stored zoom must fit the screen with half the window's frame.
        const QScreen* screen = window_->screen();
        const int available = screen != nullptr ? screen->availableGeometry().height() : 800;
        const int frame = window_->frameGeometry().height() - window_->centralWidget()->height();
        editor->Resize()->FitToScreen(available, frame / 2);
        editor->Resize()->ApplyAtOpening();
    }
    window_->FollowPanel(panel);
    return true;
}

void Shell::RunLoop() {
    QApplication::setQuitOnLastWindowClosed(false);
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    const auto connection =
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &Shell::CheckTick);
    if (window_ != nullptr && window_->isVisible()) QApplication::exec();
    disconnect(connection);
}

void Shell::CheckTick() {
    if (ticking_ || QThread::currentThread()->loopLevel() != 1) return;
    if (!tick_.Due(NowMs())) return;
    ticking_ = true;
    if (plugin_ != nullptr) plugin_->DoCommand(menu::kTickCommand);
    ticking_ = false;
}

void Shell::ShutDown() {
    delete window_;
    window_ = nullptr;
    // No delivery may reach the plug-in object once it is gone.
    if (link_) link_->CloseAll();
    delete plugin_;
    plugin_ = nullptr;
    if (link_) link_->DeletePorts();
    link_.reset();
    current_.reset();
    backup_.reset();
    started_ = false;
}

void Shell::WriteSettings() {
    if (!current_ || !started_) return;
    // Nothing the user could do about it now; the next write tries again.
    if (!file_.WriteSettings(*current_)) {
        DebugPrint("could not write the settings file %s", file_.Path().c_str());
    }
}

int Shell::RunPreferences(QWidget* owner) {
    Preferences preferences(*current_, *backup_, link_.get(), [this] { WriteSettings(); });
    PreferencesDialog dialog(preferences, owner);
    return ExecModal(dialog) == QDialog::Accepted ? Preferences::kResultOk
                                                  : Preferences::kResultCancel;
}

void Shell::ShowAboutBox(QWidget* owner) {
    QMessageBox box(QMessageBox::NoIcon, "OrvodyneEditor", "Brindle-Audio\nBuilt on May  7 2019",
                    QMessageBox::Ok, owner);
    ExecModal(box);
}

void Shell::MainWindowClosed() {
    QCoreApplication::quit();
}

int Shell::ExecModal(QDialog& dialog) {
    return dialog.exec();
}
