#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "editor/UnitMessages.h"

class Librarian;
class LibraryFolder;
class OrvoEditor;

// The transfers between program files and the unit: one file or a whole folder written into
// the unit's locations, paced by its status replies; one program or all 99 read back into files,
// paced by its dumps; and the once-a-second watch over all of them, which reports results and
// time-outs. Everything here runs under the plug-in lock; what the user must be told is posted to
// the editor's reports and shown once the lock is released.
class ProgramTransfers {
public:
    // A dump that keeps failing its checksum is asked for this often in all, then the
    // transfer ends with the communication error report instead of asking for ever.
    static constexpr int kDumpAttempts = 8;
    // Ticks without an answer before a transfer is given up.
    static constexpr int kTimeoutTicks = 3;
    // The transfer readers take nothing this large: a program file is about 5000 bytes.
    static constexpr size_t kLargestTransferFile = 8191;

    ProgramTransfers(OrvoEditor& editor, Librarian& librarian, LibraryFolder& folder);

    // --- Writing files into the unit ---
    // The Write selector chose path: one file into the location its name begins with, watched
    // by the tick until the unit answers.
    void WriteSelectedFile(const std::string& path);
    // Sends one file to the unit under the number its name begins with (two characters), or
    // under number. False when nothing was sent; the report then says why.
    bool WriteProgramFile(const std::string& path);
    bool WriteProgramFileAs(const std::string& path, int number);
    // The batch write of every numbered program file of folder.
    void WriteAllPrograms(const std::string& folder);

    // --- Reading programs from the unit ---
    // Save Program from Orvo to File: the next program the Save selector names comes from the
    // unit.
    void ArmSaveFromUnit();
    void DisarmSaveFromUnit() { saveFromUnit_ = false; }
    bool SaveFromUnitArmed() const { return saveFromUnit_; }
    // The Save selector chose path while a save from the unit is armed.
    void RequestIntoFile(const std::string& path);
    // Save All Programs from Orvo to Files, into the library folder.
    void StartSaveAll();
    // From the GUI idle hook: sends the dump request that is due.
    void RequestPendingDump();

    // --- The unit's answers, from the MIDI input thread ---
    void OnStatusReply(uint8_t code);
    void OnProgramDump(const uint8_t* bytes, size_t size);

    // Steps 2 to 7 of the once-a-second tick, in their order.
    void Tick();

    // --- Shared with the firmware update ---
    // Restarts the time-out: an answer came, or a message went out.
    void RestartTimeout();
    void SetWaitingForUnit(bool on) { waitingForUnit_ = on; }
    bool WaitingForUnit() const { return waitingForUnit_; }
    // Runs when a wait for the unit times out, before the report (the firmware update leaves
    // its mode there).
    void SetOnWaitTimedOut(std::function<void()> hook) { onWaitTimedOut_ = std::move(hook); }

    // --- State, for the panel and for tests ---
    bool SingleWritePending() const { return singleWritePending_; }
    bool BatchActive() const { return batchActive_; }
    bool SaveAllActive() const { return saveAll_; }
    bool RequestPending() const { return requestPending_; }
    bool FillMode() const { return fillMode_; }
    int ProgramToRequest() const { return requestNumber_; }

private:
    // A file of the batch and the location it was counted for.
    struct BatchFile {
        std::string path;
        std::string name;
        int location;
    };

    void ShowStatus(const std::string& text);
    // A file that could not be sent: named with its cause at once, and the transfer ends.
    void FileNotSent(const std::string& path, const std::string& cause);
    void EndBatch();
    bool StartBatch(const std::string& folder);
    void BeginBatchWrites();
    void WriteBatchFile(const BatchFile& file, int location);
    void ContinueBatch();
    void ContinueFilling();
    // The first request of a save is due at the next GUI idle tick.
    void BeginRequests(int number);
    void DumpFailed();
    void SaveGoodDump(const uint8_t* bytes, size_t size);
    void ReportNotPresent();
    // Counts a tick against the time-out; true when it has run out.
    bool TimeoutRunsOut(int limit);

    OrvoEditor& editor_;
    Librarian& librarian_;
    LibraryFolder& folder_;

    // Transfer flags.
    bool singleWritePending_ = false;
    bool batchActive_ = false;
    bool saveAll_ = false;
    bool saveFromUnit_ = false;
    bool requestPending_ = false;
    bool waitingForUnit_ = false;
    // A save from the unit asked for a program; the next good dump goes to saveTarget_.
    bool saveOneRequested_ = false;
    std::string saveTarget_;
    // Result flags, reported and cleared by the next tick.
    bool success_ = false;
    bool communicationError_ = false;
    bool nameError_ = false;

    int timeoutTicks_ = 0;
    // Set when the time-out restarts: the tick that follows within the same second is not
    // counted, so the time-out is never shorter than three whole seconds.
    bool restartedSinceTick_ = false;
    int requestNumber_ = 1;
    int dumpAttempts_ = 0;

    // The batch write.
    std::vector<BatchFile> batch_;
    std::array<int, kLastProgramNumber> locationCounts_{};
    std::array<int, kLastProgramNumber> fileAtLocation_{};
    bool fillMode_ = false;
    size_t nameIndex_ = 0;
    int locationCounter_ = 1;

    std::function<void()> onWaitTimedOut_;
};
