#include "library/ProgramTransfers.h"

#include <algorithm>
#include <cstdio>

#include "editor/OrvoEditor.h"
#include "library/Librarian.h"
#include "library/LibraryFolder.h"
#include "library/ProgramConversion.h"
#include "library/ProgramFile.h"
#include "util/DebugPrint.h"

namespace {

const char* const kNotPresent = "Orvo not present or a communication\nerror has occurred!";
const char* const kCommunicationError = "Communication error has occurred!";
const char* const kCommunicationStatus = "Communication error!";
const char* const kFinished = "Finished successfully!";
const char* const kNameError = "Program Name does not\ndetermine Program Number!";
const char* const kHolesPrompt =
    "There are holes int the list.\nPress OK to fill them with the Default or Cancel to skip!";
const char* const kWritingStatus = "Writing Progs to Orvo...";
const char* const kConnectingStatus = "Connecting to Orvo...";

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

void ProgramTransfers::FileNotSent(const std::string& path, const std::string& cause) {
    const std::string name = FileNameOf(path);
    singleWritePending_ = false;
    if (batchActive_) EndBatch();
    timeoutTicks_ = 0;
    ShowStatus("Not sent: " + name);
    editor_.Reports().Post(ReportKind::kError, name + " was not sent to the Orvo.\n" + cause);
}

// --- Writing one file ---

void ProgramTransfers::WriteSelectedFile(const std::string& path) {
    RestartTimeout();
    singleWritePending_ = true;
    WriteProgramFile(path);
}

bool ProgramTransfers::WriteProgramFile(const std::string& path) {
    const std::optional<int> number = LeadingNumber(FileNameOf(path), 2);
    return WriteProgramFileAs(path, number.value_or(0));
}

bool ProgramTransfers::WriteProgramFileAs(const std::string& path, int number) {
    // The file is checked before its name, so that a file that cannot be sent says so at once
    // instead of ending the transfer by a time-out that blames the unit.
    std::string reason;
    const std::optional<ProgramValues> values = ReadProgramFile(path, &reason);
    if (!values) {
        FileNotSent(path, reason);
        return false;
    }
    if (!IsProgramNumber(number)) {
        timeoutTicks_ = 0;
        singleWritePending_ = false;
        nameError_ = true;
        return false;
    }
    const std::optional<std::vector<uint8_t>> message =
        BuildProgramWrite(number, ProgramSlotsToUnitBytes(*values));
    if (!message) return false;
    // Unsent for want of an output port, the write goes unanswered: the time-out reports it.
    if (!editor_.SendSysEx({0, static_cast<int32_t>(message->size()), message->data()})) {
        DebugPrint("program write for location %d not sent: no output port", number);
    }
    RestartTimeout();
    return true;
}

// --- The batch write ---

void ProgramTransfers::WriteAllPrograms(const std::string& folder) {
    if (batchActive_) return;
    if (!StartBatch(folder)) return;
    const bool holes =
        std::find(locationCounts_.begin(), locationCounts_.end(), 0) != locationCounts_.end();
    if (!holes) {
        BeginBatchWrites();
        return;
    }
    editor_.Reports().Post(ReportKind::kWarning, kHolesPrompt, [this](bool ok) {
        fillMode_ = ok;
        if (!batchActive_ && !batch_.empty()) BeginBatchWrites();
    });
}

// Lists and checks the batch; false (with the report posted) when nothing may be sent.
bool ProgramTransfers::StartBatch(const std::string& folder) {
    locationCounts_.fill(0);
    fileAtLocation_.fill(-1);
    batch_.clear();
    for (const LibraryFolder::Entry& entry : LibraryFolder::ListProgramFiles(folder)) {
        const std::optional<int> number = LeadingNumber(entry.baseName, kBatchNumberCharacters);
        if (!number || !IsProgramNumber(*number)) continue;
        const size_t at = static_cast<size_t>(*number - 1);
        ++locationCounts_[at];
        fileAtLocation_[at] = static_cast<int>(batch_.size());
        batch_.push_back({folder + entry.fileName, entry.baseName, *number});
    }
    for (int location = kFirstProgramNumber; location <= kLastProgramNumber; ++location) {
        if (locationCounts_[static_cast<size_t>(location - 1)] > 1) {
            editor_.Reports().Post(ReportKind::kError, DuplicateMessage(location));
            batch_.clear();
            return false;
        }
    }
    if (batch_.empty()) {
        editor_.Reports().Post(ReportKind::kError,
                               "There are no numbered program files in\n" + folder);
        return false;
    }
    // Every file is read before the first is sent: a file that cannot go stops the batch
    // before the unit has taken any of them.
    for (const BatchFile& file : batch_) {
        std::string reason;
        if (!ReadProgramFile(file.path, &reason)) {
            FileNotSent(file.path, reason);
            batch_.clear();
            return false;
        }
    }
    return true;
}

void ProgramTransfers::BeginBatchWrites() {
    if (EditorPanel* panel = editor_.Panel(); panel && panel->StatusLine() != kWritingStatus) {
        panel->SetStatusLine(kWritingStatus);
    }
    batchActive_ = true;
    RestartTimeout();
    nameIndex_ = 0;
    locationCounter_ = kFirstProgramNumber;
    if (fillMode_) {
        const int at = fileAtLocation_[0];
        WriteBatchFile(batch_[static_cast<size_t>(std::max(at, 0))], locationCounter_);
    } else {
        WriteBatchFile(batch_.front(), batch_.front().location);
    }
}

// Each file goes to the location it was counted for, whatever its name reads as in fewer
// characters; the holes take the first listed file.
void ProgramTransfers::WriteBatchFile(const BatchFile& file, int location) {
    editor_.SetParameterValue(kParamSevenSegment, location);
    editor_.RedrawParamControls();
    ShowStatus(file.name);
    WriteProgramFileAs(file.path, location);
}

void ProgramTransfers::ContinueFilling() {
    ++locationCounter_;
    RestartTimeout();
    if (locationCounter_ > kLastProgramNumber) {
        EndBatch();
        return;
    }
    const int at = fileAtLocation_[static_cast<size_t>(locationCounter_ - 1)];
    WriteBatchFile(batch_[static_cast<size_t>(std::max(at, 0))], locationCounter_);
}

void ProgramTransfers::ContinueBatch() {
    ++nameIndex_;
    RestartTimeout();
    if (nameIndex_ >= batch_.size()) {
        EndBatch();
        return;
    }
    WriteBatchFile(batch_[nameIndex_], batch_[nameIndex_].location);
}

void ProgramTransfers::EndBatch() {
    batchActive_ = false;
}

void ProgramTransfers::OnStatusReply(uint8_t code) {
    if (code != kReplyProgramStored && code != kReplyProgramNotStored) return;
    const bool stored = code == kReplyProgramStored;
    if (singleWritePending_) {
        singleWritePending_ = false;
        RestartTimeout();
        if (!stored) {
            communicationError_ = true;
            return;
        }
        // The panel shows what the unit now stores.
        if (EditorPanel* panel = editor_.Panel()) {
            librarian_.LoadProgramFile(panel->ChooserPath(kParamProgramWriteFile));
        }
    } else if (batchActive_) {
        if (!stored) {
            EndBatch();
            RestartTimeout();
            communicationError_ = true;
        } else if (fillMode_) {
            ContinueFilling();
        } else {
            ContinueBatch();
        }
    }
}

// --- Reading programs from the unit ---

void ProgramTransfers::ArmSaveFromUnit() {
    saveFromUnit_ = true;
}

void ProgramTransfers::RequestIntoFile(const std::string& path) {
    const int number = LeadingNumber(FileNameOf(path), 2).value_or(kFirstProgramNumber);
    saveFromUnit_ = false;
    if (!IsProgramNumber(number)) {
        // No request could be built for it; said now rather than by a time-out.
        nameError_ = true;
        return;
    }
    saveTarget_ = path;
    saveOneRequested_ = true;
    BeginRequests(number);
}

void ProgramTransfers::StartSaveAll() {
    saveAll_ = true;
    saveOneRequested_ = false;
    BeginRequests(kFirstProgramNumber);
}

void ProgramTransfers::BeginRequests(int number) {
    ShowStatus(kConnectingStatus);
    requestNumber_ = number;
    dumpAttempts_ = 0;
    requestPending_ = true;
}

void ProgramTransfers::RequestPendingDump() {
    if (!requestPending_) return;
    requestPending_ = false;
    const std::optional<std::vector<uint8_t>> request = BuildDumpRequest(requestNumber_);
    if (!request) return;
    // Unsent for want of an output port, the request goes unanswered: the time-out reports it.
    if (!editor_.SendSysEx({0, static_cast<int32_t>(request->size()), request->data()})) {
        DebugPrint("dump request for program %d not sent: no output port", requestNumber_);
    }
    RestartTimeout();
    waitingForUnit_ = true;
}

void ProgramTransfers::OnProgramDump(const uint8_t* bytes, size_t size) {
    waitingForUnit_ = false;
    if (!IsProgramDump(bytes, size)) return;
    // Only a program somebody asked for is written: a dump nobody waits for names no file.
    if (!saveOneRequested_ && !saveAll_) return;
    if (!DumpChecksumMatches(bytes, size) || bytes[kProgramNumberIndex] != requestNumber_) {
        DumpFailed();
        return;
    }
    SaveGoodDump(bytes, size);
}

void ProgramTransfers::DumpFailed() {
    if (++dumpAttempts_ < kDumpAttempts) {
        requestPending_ = true;
        return;
    }
    // The unit keeps sending what cannot be used: the transfer ends, and says so.
    dumpAttempts_ = 0;
    saveAll_ = false;
    saveOneRequested_ = false;
    requestNumber_ = kFirstProgramNumber;
    timeoutTicks_ = 0;
    communicationError_ = true;
}

void ProgramTransfers::SaveGoodDump(const uint8_t* bytes, size_t size) {
    dumpAttempts_ = 0;
    RestartTimeout();
    const ProgramBlock block = *ProgramBlockOf(bytes, size);
    char name[16];
    std::snprintf(name, sizeof name, "%02d.prg", requestNumber_);
    const std::string path = saveOneRequested_ ? saveTarget_ : folder_.Folder() + name;
    saveOneRequested_ = false;
    std::string reason;
    if (!librarian_.SaveProgramDump(path, block, &reason)) {
        // A file that could not be written stops the sequence: nothing is reported as done
        // that was not.
        saveAll_ = false;
        requestNumber_ = kFirstProgramNumber;
        editor_.Reports().Post(ReportKind::kError, reason);
        return;
    }
    if (!saveAll_) return;
    if (++requestNumber_ <= kLastProgramNumber) {
        requestPending_ = true;
        return;
    }
    saveAll_ = false;
    timeoutTicks_ = 0;
    success_ = true;
    requestNumber_ = kFirstProgramNumber;
}

// --- The tick ---

bool ProgramTransfers::TimeoutRunsOut(int limit) {
    if (++timeoutTicks_ < limit) return false;
    timeoutTicks_ = 0;
    return true;
}

void ProgramTransfers::ReportNotPresent() {
    editor_.Reports().Post(ReportKind::kError, kNotPresent);
}

void ProgramTransfers::Tick() {
    // A tick that comes within the second of a send or an answer does not count against the
    // time-out: the unit always has three whole seconds.
    const bool counts = !restartedSinceTick_;
    restartedSinceTick_ = false;
    if (waitingForUnit_ && counts && TimeoutRunsOut(kTimeoutTicks)) {
        if (onWaitTimedOut_) onWaitTimedOut_();
        waitingForUnit_ = false;
        ReportNotPresent();
        ShowStatus(kCommunicationStatus);
    }
    if (batchActive_ && counts && TimeoutRunsOut(kTimeoutTicks)) {
        EndBatch();
        ReportNotPresent();
        ShowStatus(kCommunicationStatus);
    }
    if (singleWritePending_ && counts && TimeoutRunsOut(kTimeoutTicks)) {
        singleWritePending_ = false;
        ReportNotPresent();
    }
    if (success_) {
        success_ = false;
        editor_.Reports().Post(ReportKind::kDone, kFinished);
        ShowStatus(kFinished);
    }
    if (communicationError_) {
        communicationError_ = false;
        editor_.Reports().Post(ReportKind::kError, kCommunicationError);
        ShowStatus(kCommunicationStatus);
    }
    if (nameError_) {
        nameError_ = false;
        editor_.Reports().Post(ReportKind::kError, kNameError);
    }
}
