#include "shell/Shell.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QThread>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <exception>
#include <future>

#include "editor/OrvoEditor.h"
#include "editor/OrvoPanel.h"
#include "gui/Graphics.h"
#include "gui/GuiResize.h"
#include "library/BankTransfers.h"
#include "library/Librarian.h"
#include "library/MakePlugin.h"
#include "library/ProgramLibrary.h"
#include "midi/MidiLink.h"
#include "midi/MidiSettings.h"
#include "platform/qt/GraphicsQt.h"
#include "platform/qt/PanelWidget.h"
#include "plugin/EditorCommand.h"
#include "shell/BankWindow.h"
#include "shell/ConnectionStatus.h"
#include "shell/ControllerAssignmentsDialog.h"
#include "shell/LibraryWindow.h"
#include "shell/MainWindow.h"
#include "shell/MidiMonitorWindow.h"
#include "shell/Preferences.h"
#include "shell/PreferencesDialog.h"
#include "util/DebugPrint.h"

Shell::Shell() : Shell(Options{}) {}

Shell::Shell(Options options) : options_(std::move(options)) {
    if (!options_.makePlugin) {
        options_.makePlugin = [this](MidiOutputPort* output,
                                     const uint16_t* channel) -> PluginBase* {
            return MakePlugin(output, channel, file_.Path(), options_.layoutEditing);
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
    int code = kExitOk;
    try {
        switch (StartUp()) {
            case Start::SecondInstance:
                return kExitOk;
            case Start::NoConfigFolder:
                return kExitNoConfigFolder;
            case Start::Running:
                break;
        }
        // Offered once the window is up and the loop runs; a start that only measures itself
        // goes without.
        if (options_.offerFirstStart && options_.startupReport == StartupReport::Mode::Off)
            QTimer::singleShot(0, this, &Shell::OfferFirstStart);
        if (options_.running) options_.running(*this);
        code = RunLoop();
    } catch (const std::exception& error) {
        DebugPrint("the editor stops on an error: %s", error.what());
        code = kExitError;
    } catch (...) {
        DebugPrint("the editor stops on an unknown error");
        code = kExitError;
    }
    ShutDown();
    return code;
}

Shell::Start Shell::StartUp() {
    if (!instance_.Claim(options_.programFile)) return Start::SecondInstance;
    current_ = std::make_unique<MidiSettings>();
    backup_ = std::make_unique<MidiSettings>();
    if (!file_.Load(*current_)) {
        DebugPrint("could not retrieve the user's application data directory!\n");
        return Start::NoConfigFolder;
    }
    started_ = true;
    // Qt's own file dialog keeps the folders it showed last in QtProject.conf of the user's
    // settings: that file goes beside ours rather than loose in the user's configuration folder.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString(file_.Folder()));

    // A name read for a missing key turns "off" as the ports open below; until the start-up
    // has finished, FinishStartUp (or the shutdown) writes that with the rest of the record.
    link_ = std::make_unique<MidiLink>(
        *current_,
        [this] {
            if (finished_) WriteSettings();
        },
        options_.backend);
    if (const std::optional<std::string> folder = SettingsFile::VirtualUnitFolder())
        link_->SetVirtualUnitFolder(*folder);
    if (link_->NeedsPortObjects()) {
        // The MIDI back ends take their time (a JACK client waits for its server, or for the
        // answer that there is none, port by port): the ports come up on a helper thread while
        // this thread readies the fonts and styles that the main window needs later. Nothing
        // else runs here meanwhile, and the plug-in is made only once the output is open.
        std::future<void> ports = std::async(std::launch::async, [this] {
            MakePorts();
            link_->OpenOutput(current_->outputName);
        });
        MainWindow::PrepareWidgets();
        ports.get();
    } else {
        // No port of the MIDI system is chosen (none, or the virtual Orvo): the port objects
        // come once the panel shows (FinishStartUp); meanwhile the lists hold "off" and the
        // virtual Orvo.
        link_->ListMidiPorts();
        link_->OpenOutput(current_->outputName);
    }

    // The output is open, so the program the editor restores reaches the unit as it is built.
    plugin_.reset(options_.makePlugin(link_->OutputPort(), &current_->outputChannel));
    link_->SetPlugin(plugin_.get());

    link_->OpenUnitInput(current_->unitInputName);
    link_->OpenKeyboardInput(current_->keyboardInputName);

    CreateLibrary();
    CreateMainWindow();
    // The last program is back by now; the file asked for replaces it.
    if (!options_.programFile.empty()) OpenProgramFile(options_.programFile);
    tick_.Reset(NowMs());
    return Start::Running;
}

void Shell::MakePorts() {
    portsMade_ = true;
    link_->CreateMidiPorts();
    link_->ListMidiPorts();
}

void Shell::FinishStartUp() {
    if (finished_ || !started_ || !link_) return;
    finished_ = true;
    if (!portsMade_) MakePorts();
    // Earlier versions kept decoded images there; this one keeps nothing between runs.
    if (!SettingsFile::RemoveOldCacheFolder()) DebugPrint("could not remove the old image cache");
    // A first start creates the file here; a later one changes nothing unless a name read for a
    // missing key turned into "off".
    WriteSettings();
}

void Shell::CreateLibrary() {
    auto* editor = dynamic_cast<OrvoEditor*>(plugin_.get());
    auto* librarian = editor ? dynamic_cast<Librarian*>(editor->Programs()) : nullptr;
    std::string path = options_.libraryPath;
    if (path.empty()) path = DefaultLibraryPath().value_or(std::string());
    // Nothing is read here: the database opens when the library is first used.
    library_ = std::make_unique<ProgramLibrary>(path, editor, librarian, file_.Path());
    if (librarian == nullptr) return;
    ProgramLibrary* library = library_.get();
    librarian->SetProgramSeen(
        [library](const ProgramValues& values, const std::string& name,
                  const LibrarySource& source) { library->Notice(values, name, source); });
}

void Shell::CreateMainWindow() {
    window_ = std::make_unique<MainWindow>(plugin_.get(), *this);
    connect(&instance_, &SingleInstance::OpenRequested, this,
            [this](const QByteArray& path) { OpenProgramFile(path.toStdString()); });
    connect(&instance_, &SingleInstance::RaiseRequested, window_.get(), &MainWindow::BringToFront);
    if (!AttachGui()) {
        std::fputs("couldn't attach gui\n", stdout);
        std::fflush(stdout);
        // No panel tells of its first paint: the rest follows once the loop runs.
        QTimer::singleShot(0, this, &Shell::FinishStartUp);
    }
    FollowPorts();
    FollowProgramName();
    // Placed once; zooming later changes the size only.
    window_->PlaceOnScreen();
    window_->show();
}

bool Shell::AttachGui() {
    if (plugin_ == nullptr || plugin_->Gui() == nullptr) return false;
    // Only a Qt panel can sit in the window; without the Qt platform the editor draws headless.
    auto* graphics = dynamic_cast<GraphicsQt*>(plugin_->Gui());
    if (graphics == nullptr) return false;
    auto* panel = static_cast<QWidget*>(graphics->CreatePanelWindow(window_->centralWidget()));
    if (panel == nullptr) return false;
    plugin_->GuiOpened();
    if (auto* editor = dynamic_cast<OrvoEditor*>(plugin_.get());
        editor != nullptr && editor->Resize()) {
        // The whole window, frame and bars with the panel at the stored zoom, must fit the
        // screen's free area.
        const QSize room = window_->LargestClientArea();
        if (room.isValid()) editor->Resize()->FitToScreen(room.width(), room.height());
        editor->Resize()->ApplyAtOpening();
    }
    window_->FollowPanel(panel);
    window_->SetPanelFitter([this](const QSize& area) { FitPanelTo(area); });
    window_->SetScreenFitter([this] { HoldZoomToScreen(); });
    window_->SetGripDragQuery([this] {
        auto* editor = dynamic_cast<OrvoEditor*>(plugin_.get());
        return editor != nullptr && editor->Resize() != nullptr &&
               editor->Resize()->DragInProgress();
    });
    if (auto* panelWidget = qobject_cast<PanelWidget*>(panel)) {
        connect(panelWidget, &PanelWidget::FirstPainted, this, &Shell::PanelFirstPainted,
                Qt::SingleShotConnection);
    }
    return true;
}

void Shell::FitPanelTo(const QSize& area) {
    auto* editor = dynamic_cast<OrvoEditor*>(plugin_.get());
    auto* graphics = plugin_ != nullptr ? dynamic_cast<GraphicsQt*>(plugin_->Gui()) : nullptr;
    if (editor == nullptr || graphics == nullptr || editor->Resize() == nullptr) return;
    GuiResize& resize = *editor->Resize();
    if (resize.DragInProgress() || resize.BaseWidth() <= 0.0 || resize.BaseHeight() <= 0.0) return;
    // The largest zoom at which the whole panel fits, within the zoom's limits.
    const double scale =
        std::min(area.width() / resize.BaseWidth(), area.height() / resize.BaseHeight());
    std::lock_guard<std::recursive_mutex> hold(editor->PluginLock());
    const double before = resize.Scale();
    resize.SetScale(scale);
    if (resize.Scale() == before) return;
    // The window keeps the size the window manager gave it.
    graphics->SetResizesHosts(false);
    resize.ApplyChange();
    graphics->SetResizesHosts(true);
}

void Shell::HoldZoomToScreen() {
    auto* editor = dynamic_cast<OrvoEditor*>(plugin_.get());
    if (editor == nullptr || editor->Resize() == nullptr || window_ == nullptr) return;
    const QSize room = window_->LargestClientArea();
    if (!room.isValid()) return;
    GuiResize& resize = *editor->Resize();
    std::lock_guard<std::recursive_mutex> hold(editor->PluginLock());
    resize.SetScreenRoom(room.width(), room.height());
    const double held = resize.HeldToScreen(resize.Scale());
    if (resize.DragInProgress() || held == resize.Scale()) return;
    resize.SetScale(held);
    resize.ApplyChange();
}

void Shell::PanelFirstPainted() {
    // What the panel does not need for showing follows once this paint is over.
    QTimer::singleShot(0, this, &Shell::FinishStartUp);
    if (options_.startupReport == StartupReport::Mode::Off) return;
    StartupReport::Print(stderr, StartupReport::MsSinceProcessStart());
    // Ended as File > Quit ends it, once the paint is over.
    if (options_.startupReport == StartupReport::Mode::ReportAndQuit)
        QTimer::singleShot(0, this, &Shell::Quit);
}

int Shell::RunLoop() {
    QApplication::setQuitOnLastWindowClosed(false);
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    const auto connection =
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &Shell::CheckTick);
    const int code = window_ != nullptr && window_->isVisible() ? QApplication::exec() : kExitOk;
    disconnect(connection);
    return code;
}

void Shell::Quit() {
    if (window_ != nullptr) window_->close();
}

void Shell::Terminate() {
    terminating_ = true;
    if (plugin_ != nullptr) plugin_->DoCommand(kCommandStopTransferForQuit);
    Quit();
}

bool Shell::MayClose(QWidget* owner) {
    if (terminating_ || plugin_ == nullptr || !plugin_->CommandEnabled(kCommandStopTransfer))
        return true;
    QMessageBox box(QMessageBox::Question, "Warning",
                    "A transfer with the Orvo is still running.\n"
                    "Stop it and quit? Programs not yet transferred stay where they are.",
                    QMessageBox::Yes | QMessageBox::No, owner);
    box.setDefaultButton(QMessageBox::No);
    if (ExecModal(box) != QMessageBox::Yes) return false;
    plugin_->DoCommand(kCommandStopTransfer);
    return true;
}

bool Shell::OpenProgramFile(const std::string& path) {
    auto* editor = dynamic_cast<OrvoEditor*>(plugin_.get());
    if (editor == nullptr || !editor->OpenProgramFile(path)) {
        DebugPrint("could not open the program file %s", path.c_str());
        return false;
    }
    return true;
}

void Shell::CheckTick() {
    FollowProgramName();
    if (library_ && library_->AddNoticed() > 0 && libraryView_) libraryView_->Refresh();
    if (ticking_ || QThread::currentThread()->loopLevel() != 1) return;
    if (!tick_.Due(NowMs())) return;
    ticking_ = true;
    if (plugin_ != nullptr) plugin_->DoCommand(kCommandTick);
    FollowPorts();
    ticking_ = false;
}

void Shell::FollowProgramName() {
    auto* editor = dynamic_cast<OrvoEditor*>(plugin_.get());
    if (editor == nullptr || window_ == nullptr) return;
    const unsigned changes = editor->ProgramNameChanges();
    if (changes == programNameSeen_) return;
    programNameSeen_ = changes;
    window_->ShowProgramName(QString::fromStdString(editor->ProgramName()));
}

void Shell::FollowPorts() {
    if (!link_ || !current_ || !window_) return;
    const bool inputWasOpen = link_->IsRoleOpen(MidiRole::UnitInput);
    const bool outputWasOpen = link_->IsRoleOpen(MidiRole::Output);
    link_->RescanPorts();
    // An update or a transfer waiting for the unit learns at once that no answer can come.
    const bool lost = (inputWasOpen && !link_->IsRoleOpen(MidiRole::UnitInput)) ||
                      (outputWasOpen && !link_->IsRoleOpen(MidiRole::Output));
    if (lost && plugin_ != nullptr) plugin_->UnitConnectionLost();
    // Notes of one rescan show together; a second would replace the first at once.
    std::string notes;
    for (const std::string& note : link_->TakePortNotes())
        notes += (notes.empty() ? "" : "; ") + note;
    if (!notes.empty()) window_->ShowNote(QString::fromStdString(notes));
    ShowConnection();
}

void Shell::ShowConnection() {
    if (!link_ || !current_ || !window_) return;
    window_->SetConnectionText(QString::fromStdString(
        ConnectionStatus::Describe(*link_, *current_, MidiTrafficQueue::NowMs())));
}

void Shell::ShutDown() {
    // A start ended before its panel showed still leaves its settings behind.
    if (!finished_) WriteSettings();
    window_.reset();
    if (bank_) {
        std::lock_guard<std::recursive_mutex> hold(plugin_->PluginLock());
        bank_.reset();
    }
    if (auto* editor = dynamic_cast<OrvoEditor*>(plugin_.get())) {
        if (auto* librarian = dynamic_cast<Librarian*>(editor->Programs())) {
            librarian->SetProgramSeen({});
        }
    }
    library_.reset();
    // No delivery may reach the plug-in object once it is gone.
    if (link_) link_->CloseAll();
    plugin_.reset();
    if (link_) link_->DeletePorts();
    link_.reset();
    current_.reset();
    backup_.reset();
    started_ = false;
    finished_ = false;
    portsMade_ = false;
}

void Shell::WriteSettings() {
    if (!current_ || !started_) return;
    // Nothing the user could do about it now; the next write tries again.
    if (!file_.WriteSettings(*current_)) {
        DebugPrint("could not write the settings file %s", file_.Path().c_str());
    }
}

int Shell::RunPreferences(QWidget* owner) {
    return RunPreferencesDialog(owner, false);
}

int Shell::RunPreferencesDialog(QWidget* owner, bool searchAtOnce) {
    // Before the start-up finished, the lists of the MIDI system's ports are still to be read.
    if (link_ && !portsMade_) MakePorts();
    Preferences preferences(*current_, *backup_, link_.get(), [this] { WriteSettings(); });
    PreferencesDialog dialog(preferences, owner);
    if (searchAtOnce) QTimer::singleShot(0, &dialog, &PreferencesDialog::StartSearch);
    // The status line below the panel tells of the answer the search had at once.
    connect(&dialog, &PreferencesDialog::SearchFinished, this, &Shell::ShowConnection);
    return ExecModal(dialog) == QDialog::Accepted ? Preferences::kResultOk
                                                  : Preferences::kResultCancel;
}

void Shell::ShowAboutBox(QWidget* owner) {
    QMessageBox box(QMessageBox::NoIcon, "OrvodyneEditor", "Brindle-Audio\nBuilt on May  7 2019",
                    QMessageBox::Ok, owner);
    ExecModal(box);
}

void Shell::UseVirtualOrvo() {
    if (!link_ || !current_) return;
    for (MidiRole role : {MidiRole::Output, MidiRole::UnitInput}) {
        current_->SetName(role, VirtualOrvoPort::kPortName);
        current_->SetChannel(role, 1);
        link_->OpenRole(role);
    }
    WriteSettings();
    if (window_ != nullptr) window_->ShowNote("Connected to the virtual Orvo");
    ShowConnection();
}

void Shell::OfferFirstStart() {
    if (!current_ || !window_ || file_.FirstStartOffered()) return;
    if (!current_->WantsNoPort(MidiRole::UnitInput) || !current_->WantsNoPort(MidiRole::Output))
        return;
    if (!file_.NoteFirstStartOffered()) DebugPrint("could not write %s", file_.Path().c_str());
    QMessageBox box(QMessageBox::Question, "OrvodyneEditor",
                    "No MIDI ports are chosen for the Orvo yet.\n"
                    "Find the Orvo on the MIDI ports, choose the ports yourself, or try the "
                    "editor with the virtual Orvo built into it (no unit or MIDI system "
                    "needed).",
                    QMessageBox::NoButton, window_.get());
    QPushButton* find = box.addButton("Find the Orvo", QMessageBox::AcceptRole);
    QPushButton* choose = box.addButton("Choose Ports...", QMessageBox::AcceptRole);
    QPushButton* useVirtual = box.addButton("Use the Virtual Orvo", QMessageBox::AcceptRole);
    box.addButton(QMessageBox::Close);
    box.setDefaultButton(useVirtual);
    ExecModal(box);
    QAbstractButton* clicked = box.clickedButton();
    if (clicked == useVirtual) {
        UseVirtualOrvo();
    } else if (clicked == find || clicked == choose) {
        if (RunPreferencesDialog(window_.get(), clicked == find) == Preferences::kResultOk)
            WriteSettings();
        ShowConnection();
    }
}

MidiMonitorWindow* Shell::Monitor() const {
    return monitor_.data();
}

BankWindow* Shell::Bank() const {
    return bankWindow_.data();
}

void Shell::ShowBank(QWidget* owner) {
    auto* editor = dynamic_cast<OrvoEditor*>(plugin_.get());
    auto* librarian = editor ? dynamic_cast<Librarian*>(editor->Programs()) : nullptr;
    if (librarian == nullptr || !library_) return;
    if (!bank_) {
        std::lock_guard<std::recursive_mutex> hold(editor->PluginLock());
        bank_ = std::make_unique<BankTransfers>(librarian->Transfers(), library_->Database());
        if (!bank_->Open()) {
            QMessageBox::warning(owner, "Bank of the Orvo",
                                 QString::fromStdString(bank_->Message()));
            bank_.reset();
            return;
        }
    }
    if (bankWindow_.isNull())
        bankWindow_ = new BankWindow(*bank_, library_->Database(), editor->PluginLock(), owner);
    bankWindow_->show();
    bankWindow_->raise();
    bankWindow_->activateWindow();
}

void Shell::ShowMidiMonitor(QWidget* owner) {
    if (!link_) return;
    if (monitor_.isNull()) monitor_ = new MidiMonitorWindow(*link_, owner);
    monitor_->show();
    monitor_->raise();
    monitor_->activateWindow();
}

LibraryWindow* Shell::LibraryView() const {
    return libraryView_.data();
}

void Shell::ShowLibrary(QWidget* owner) {
    if (!library_) return;
    if (libraryView_.isNull()) libraryView_ = new LibraryWindow(*library_, owner);
    libraryView_->show();
    libraryView_->raise();
    libraryView_->activateWindow();
}

void Shell::ShowControllerAssignments(QWidget* owner) {
    auto* editor = dynamic_cast<OrvoEditor*>(plugin_.get());
    if (editor == nullptr) return;
    ControllerAssignmentsDialog dialog(*editor, owner);
    ExecModal(dialog);
}

void Shell::MainWindowClosed() {
    QCoreApplication::quit();
}

int Shell::ExecModal(QDialog& dialog) {
    return dialog.exec();
}
