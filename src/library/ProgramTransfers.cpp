#include "library/ProgramTransfers.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "editor/OrvoEditor.h"
#include "library/Librarian.h"
#include "library/LibraryFolder.h"
#include "unit/ProgramConversion.h"
#include "unit/ProgramFile.h"
#include "util/DebugPrint.h"
#include "util/FileReader.h"

namespace {

const char* const kNotPresent = "Orvo not present or a communication\nerror has occurred!";
const char* const kCommunicationStatus = "Communication error!";
const char* const kNameError = "Program Name does not\ndetermine Program Number!";
const char* const kWritingStatus = "Writing Progs to Orvo...";
const char* const kBusy =
    "A transfer with the Orvo is still running.\n"
    "Wait until it has ended, or stop it with File > Stop Transfer.";

// The batch counts a file for the number its name begins with, read from three characters.
constexpr size_t kBatchNumberCharacters = 3;

// A number read with "%d" from the first characters of a name.
std::optional<int> LeadingNumber(const std::string& name, size_t characters) {
    int number = 0;
    if (std::sscanf(name.substr(0, characters).c_str(), "%d", &number) != 1) return std::nullopt;
    return number;
}

std::string DuplicateMessage(int location) {
    return "Multiple files assigned to location: " + std::to_string(location) +
           "\nPlease resolve it!";
}

// The file save-all writes a program into.
std::string SavedProgramName(int number) {
    char name[16];
    std::snprintf(name, sizeof name, "%02d.prg", number);
    return name;
}

std::string HolesPrompt(const std::string& firstFile, int withFile) {
    const int holes = kLastProgramNumber - withFile;
    return "The folder has program files for " + std::to_string(withFile) + " of the " +
           std::to_string(kLastProgramNumber) + " locations; " + std::to_string(holes) +
           " locations have none.\n\nOK writes " + firstFile + " into those " +
           std::to_string(holes) +
           " locations as well, replacing the programs the Orvo holds there.\nCancel writes only "
           "the " +
           std::to_string(withFile) +
           " files, each into its own location; the other locations keep their programs.";
}

}  // namespace

ProgramTransfers::ProgramTransfers(OrvoEditor& editor, Librarian& librarian, LibraryFolder& folder)
    : editor_(editor), librarian_(librarian), folder_(folder) {}

void ProgramTransfers::ShowStatus(const std::string& text) {
    if (EditorPanel* panel = editor_.Panel()) panel->SetStatusLine(text);
}

void ProgramTransfers::RestartTimeout() {
    timeoutTicks_ = 0;
    restartedSinceTick_ = true;
}

bool ProgramTransfers::MayStart() {
    if (!transfer_ && !waitingForUnit_) return true;
    editor_.Reports().Post(ReportKind::kError, kBusy);
    return false;
}

void ProgramTransfers::Begin(Transfer transfer) {
    transfer_ = std::move(transfer);
    Apply(transfer_->Start());
    GuiIdle();
}

void ProgramTransfers::Apply(const TransferActions& actions) {
    // A transfer that has ended sends nothing more.
    if (transfer_ && transfer_->Running()) Send(actions.send);
    if (actions.location != 0) {
        editor_.SetParameterValue(kParamSevenSegment, actions.location);
        editor_.RedrawParamControls();
    }
    if (actions.status) ShowStatus(*actions.status);
    // The progress line is a control of its own, which the panel changes on the GUI thread.
    if (actions.progress) progress_ = *actions.progress;
    if (actions.report) editor_.Reports().Post(actions.report->kind, actions.report->text);
    if (actions.load) librarian_.LoadProgramFile(*actions.load);
    if (actions.write) WriteReceived(*actions.write);
    if (actions.outcome && bankReceiver_) bankOutcomes_.push_back(*actions.outcome);
    if (transfer_ && !transfer_->Running()) {
        if (bankReceiver_ && transfer_->ForBank()) {
            bankEnd_ = transfer_->CurrentState();
            bankHowFar_ = transfer_->HowFar();
        }
        transfer_.reset();
    }
}

void ProgramTransfers::WriteReceived(const TransferActions::FileToWrite& file) {
    std::string reason;
    const bool written = librarian_.SaveProgramDump(file.path, file.block, &reason);
    if (transfer_) Apply(transfer_->FileWritten(written, reason));
}

void ProgramTransfers::Send(const std::vector<std::vector<uint8_t>>& messages) {
    for (const std::vector<uint8_t>& message : messages) {
        // Unsent for want of an output port, the message goes unanswered: the time-out tells.
        if (!editor_.SendSysEx({0, static_cast<int32_t>(message.size()), message.data()})) {
            DebugPrint("a transfer message was not sent: no output port");
        }
    }
}

void ProgramTransfers::GuiIdle() {
    ShowProgress();
    DeliverToBank();
}

bool ProgramTransfers::BeginForBank(Transfer transfer, BankReceiver& receiver) {
    if (!MayStart()) return false;
    bankReceiver_ = &receiver;
    bankOutcomes_.clear();
    bankEnd_.reset();
    Begin(std::move(transfer));
    return true;
}

void ProgramTransfers::ForgetBank(const BankReceiver& receiver) {
    if (bankReceiver_ != &receiver) return;
    bankReceiver_ = nullptr;
    bankOutcomes_.clear();
    bankEnd_.reset();
}

void ProgramTransfers::DeliverToBank() {
    // The receiver may start the next bank transfer from here, which delivers again.
    if (delivering_ || !bankReceiver_) return;
    delivering_ = true;
    BankReceiver* receiver = bankReceiver_;
    std::vector<TransferActions::Outcome> outcomes;
    outcomes.swap(bankOutcomes_);
    for (const TransferActions::Outcome& outcome : outcomes)
        receiver->LocationDone(outcome);
    if (bankEnd_) {
        const Transfer::State state = *bankEnd_;
        bankEnd_.reset();
        bankReceiver_ = nullptr;
        delivering_ = false;
        receiver->TransferEnded(state, bankHowFar_);
        return;
    }
    delivering_ = false;
}

void ProgramTransfers::ShowProgress() {
    if (!progress_) return;
    if (EditorPanel* panel = editor_.Panel()) panel->ShowTransferProgress(*progress_);
    progress_.reset();
}

// --- Writing files ---

std::optional<ProgramBlock> ProgramTransfers::ReadForSending(const std::string& path) {
    std::string reason;
    const std::optional<ProgramValues> values = ReadProgramFile(path, &reason);
    if (values) return ProgramSlotsToUnitBytes(*values);
    ShowStatus("Not sent: " + FileNameOf(path));
    editor_.Reports().Post(ReportKind::kError,
                           FileNameOf(path) + " was not sent to the Orvo.\n" + reason);
    return std::nullopt;
}

void ProgramTransfers::WriteSelectedFile(const std::string& path) {
    if (!MayStart()) return;
    const std::optional<ProgramBlock> program = ReadForSending(path);
    if (!program) return;
    const int number = LeadingNumber(FileNameOf(path), 2).value_or(0);
    if (!IsProgramNumber(number)) {
        editor_.Reports().Post(ReportKind::kError, kNameError);
        return;
    }
    Begin(Transfer(Transfer::Kind::kWriteOne, {{number, path, *program}}));
}

void ProgramTransfers::WriteAllPrograms(const std::string& folder) {
    if (!MayStart()) return;
    std::optional<std::vector<BatchFile>> files = PlanBatch(folder);
    if (!files) return;
    if (files->size() == static_cast<size_t>(kLastProgramNumber)) {
        BeginBatch(*files, false);
        return;
    }
    // Nothing that may overwrite more than the files themselves is the default.
    std::string prompt =
        HolesPrompt(FileNameOf(files->front().path), static_cast<int>(files->size()));
    editor_.Reports().Post(
        ReportKind::kWarning, std::move(prompt),
        [this, batch = std::move(*files)](bool fill) {
            if (MayStart()) BeginBatch(batch, fill);
        },
        Report::DefaultButton::kCancel);
}

std::optional<std::vector<ProgramTransfers::BatchFile>> ProgramTransfers::PlanBatch(
    const std::string& folder) {
    std::array<int, kLastProgramNumber> counts{};
    std::vector<BatchFile> files;
    for (const LibraryFolder::Entry& entry : LibraryFolder::ListProgramFiles(folder)) {
        const std::optional<int> number = LeadingNumber(entry.baseName, kBatchNumberCharacters);
        if (!number || !IsProgramNumber(*number)) continue;
        ++counts[static_cast<size_t>(*number - 1)];
        files.push_back({folder + entry.fileName, entry.baseName, *number, {}});
    }
    for (int location = kFirstProgramNumber; location <= kLastProgramNumber; ++location) {
        if (counts[static_cast<size_t>(location - 1)] > 1) {
            editor_.Reports().Post(ReportKind::kError, DuplicateMessage(location));
            return std::nullopt;
        }
    }
    if (files.empty()) {
        editor_.Reports().Post(ReportKind::kError,
                               "There are no numbered program files in\n" + folder);
        return std::nullopt;
    }
    // Every file is read before the first is sent: a file that cannot go stops the batch
    // before the unit has taken any of them.
    for (BatchFile& file : files) {
        const std::optional<ProgramBlock> program = ReadForSending(file.path);
        if (!program) return std::nullopt;
        file.program = *program;
    }
    return files;
}

void ProgramTransfers::BeginBatch(const std::vector<BatchFile>& files, bool fillHoles) {
    std::vector<Transfer::Step> steps;
    if (fillHoles) {
        // Each location in turn: its own file, or the first listed one.
        for (int location = kFirstProgramNumber; location <= kLastProgramNumber; ++location) {
            auto own = std::find_if(files.begin(), files.end(), [location](const BatchFile& f) {
                return f.location == location;
            });
            const BatchFile& file = own != files.end() ? *own : files.front();
            steps.push_back({location, file.path, file.program});
        }
    } else {
        for (const BatchFile& file : files)
            steps.push_back({file.location, file.path, file.program});
    }
    ShowStatus(kWritingStatus);
    Begin(Transfer(Transfer::Kind::kWriteAll, std::move(steps)));
}

// --- Reading programs from the unit ---

void ProgramTransfers::RequestIntoFile(const std::string& path) {
    saveFromUnit_ = false;
    if (!MayStart()) return;
    const int number = LeadingNumber(FileNameOf(path), 2).value_or(kFirstProgramNumber);
    if (!IsProgramNumber(number)) {
        // No request could be built for it; said now rather than by a time-out.
        editor_.Reports().Post(ReportKind::kError, kNameError);
        return;
    }
    Begin(Transfer(Transfer::Kind::kSaveOne, {{number, path, {}}}));
}

void ProgramTransfers::StartSaveAll() {
    if (!MayStart()) return;
    const std::string folder = folder_.Folder();
    int replaced = 0;
    for (int n = kFirstProgramNumber; n <= kLastProgramNumber; ++n)
        replaced += FileExists(folder + SavedProgramName(n)) ? 1 : 0;
    if (replaced == 0) {
        BeginSaveAll(folder);
        return;
    }
    editor_.Reports().Post(
        ReportKind::kWarning,
        "The folder " + folder + " already holds " + std::to_string(replaced) +
            " of the files 01.prg to 99.prg.\n\nOK replaces them with the programs of the "
            "Orvo.\nCancel "
            "saves nothing.",
        [this, folder](bool replace) {
            if (replace && MayStart()) BeginSaveAll(folder);
        },
        Report::DefaultButton::kCancel);
}

void ProgramTransfers::BeginSaveAll(const std::string& folder) {
    std::vector<Transfer::Step> steps;
    for (int n = kFirstProgramNumber; n <= kLastProgramNumber; ++n)
        steps.push_back({n, folder + SavedProgramName(n), {}});
    Begin(Transfer(Transfer::Kind::kSaveAll, std::move(steps)));
}

// --- The unit's answers and the tick ---

void ProgramTransfers::OnStatusReply(uint8_t code) {
    if (transfer_) Apply(transfer_->StatusReply(code));
}

void ProgramTransfers::OnProgramDump(const uint8_t* bytes, size_t size) {
    // The firmware update's wait ends with any answer of this length.
    waitingForUnit_ = false;
    if (transfer_) Apply(transfer_->Dump(bytes, size));
}

void ProgramTransfers::Tick() {
    // A tick that comes within the second of a send or an answer does not count against the
    // firmware update's time-out: the unit always has three whole seconds.
    const bool counts = !restartedSinceTick_;
    restartedSinceTick_ = false;
    if (waitingForUnit_ && counts && ++timeoutTicks_ >= Transfer::kTimeoutTicks) {
        timeoutTicks_ = 0;
        if (onWaitTimedOut_) onWaitTimedOut_();
        waitingForUnit_ = false;
        editor_.Reports().Post(ReportKind::kError, kNotPresent);
        ShowStatus(kCommunicationStatus);
    }
    if (transfer_) {
        Apply(transfer_->Tick());
        GuiIdle();
    }
}

void ProgramTransfers::Cancel() {
    if (transfer_) Apply(transfer_->Cancel());
    ShowProgress();
    DeliverToBank();
}

std::optional<std::string> ProgramTransfers::StopForQuit() {
    if (!transfer_) return std::nullopt;
    const char* what = "a transfer with the Orvo";
    switch (transfer_->TransferKind()) {
        case Transfer::Kind::kWriteOne:
            what = "the write of a program to the Orvo";
            break;
        case Transfer::Kind::kWriteAll:
            what = "the write of all programs to the Orvo";
            break;
        case Transfer::Kind::kSaveOne:
            what = "the save of a program from the Orvo";
            break;
        case Transfer::Kind::kSaveAll:
            what = "the save of all programs from the Orvo";
            break;
        case Transfer::Kind::kReadBank:
            what = "the read of the Orvo's bank";
            break;
        case Transfer::Kind::kSendBank:
            what = "the send of the bank to the Orvo";
            break;
    }
    std::string note = std::string("The editor was stopped during ") + what + ".\n" +
                       transfer_->HowFar() + " The rest was not transferred.";
    Cancel();
    return note;
}
