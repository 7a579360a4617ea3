#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "library/Transfer.h"
#include "unit/UnitMessages.h"

class BankReceiver;
class Librarian;
class LibraryFolder;
class OrvoEditor;

// The transfers between program files and the unit as the user starts them: one file or a whole
// folder written into the unit's locations, one program or all 99 read back into files. Each
// runs as one Transfer, and only one at a time; this class checks and plans it, asks what must
// be asked first, hands it the unit's answers and the tick, and does what it says. Everything
// here runs under the plug-in lock; what the user must be told is posted to the editor's
// reports and shown once the lock is released.
//
// The message a reply leads to (the next write, the read-back, a request asked again) is sent
// from the MIDI input thread that handed the reply in, so a transfer runs at the pace of the
// unit and the cable rather than of the GUI's idle ticks. That is safe under the plug-in lock:
// the output only queues a message and returns, and a reply never comes back inside the send.
// The progress line and the bank's outcomes are shown on the GUI thread, from GuiIdle.
class ProgramTransfers {
public:
    ProgramTransfers(OrvoEditor& editor, Librarian& librarian, LibraryFolder& folder);

    // --- Writing files into the unit ---
    // The Write selector chose path: one file into the location its name begins with.
    void WriteSelectedFile(const std::string& path);
    // The batch write of every numbered program file of folder.
    void WriteAllPrograms(const std::string& folder);

    // --- Reading programs from the unit ---
    // Save Program from Orvo to File: the next program the Save selector names comes from the
    // unit.
    void ArmSaveFromUnit() { saveFromUnit_ = true; }
    void DisarmSaveFromUnit() { saveFromUnit_ = false; }
    bool SaveFromUnitArmed() const { return saveFromUnit_; }
    // The Save selector chose path while a save from the unit is armed.
    void RequestIntoFile(const std::string& path);
    // Save All Programs from Orvo to Files, into the library folder.
    void StartSaveAll();
    // From the GUI idle hook: shows the running transfer's progress and hands the bank's
    // receiver what it said. Its messages do not wait for this: each leaves as soon as the
    // transfer has decided it.
    void GuiIdle();

    // --- The unit's answers, from the MIDI input thread ---
    void OnStatusReply(uint8_t code);
    void OnProgramDump(const uint8_t* bytes, size_t size);

    // The once-a-second tick: the time-outs, and what they lead to.
    void Tick();

    // --- The bank ---
    // Starts a bank transfer (kReadBank or kSendBank) whose outcomes and end go to receiver, on
    // the GUI thread. False, with the reason posted, while another transfer runs.
    bool BeginForBank(Transfer transfer, BankReceiver& receiver);
    // The receiver is going away: nothing more is handed to it.
    void ForgetBank(const BankReceiver& receiver);

    // Ends the running transfer where it is: no message goes out for it and no file is written
    // for it any more.
    void Cancel();
    // The editor is being stopped: ends the running transfer as Cancel does and returns what
    // the user should read about it at the next start; nothing when none ran.
    std::optional<std::string> StopForQuit();

    // --- Shared with the firmware update ---
    // Restarts the time-out: an answer came, or a message went out.
    void RestartTimeout();
    void SetWaitingForUnit(bool on) { waitingForUnit_ = on; }
    bool WaitingForUnit() const { return waitingForUnit_; }
    // Runs when a wait for the unit times out, before the report (the firmware update leaves
    // its mode there).
    void SetOnWaitTimedOut(std::function<void()> hook) { onWaitTimedOut_ = std::move(hook); }

    // False, with the reason posted, while a transfer or a firmware update waits for the unit.
    bool MayStart();

    // --- State, for the panel and for tests ---
    // The transfer that runs, if any.
    const Transfer* Running() const { return transfer_ ? &*transfer_ : nullptr; }
    bool SingleWritePending() const { return RunningKind(Transfer::Kind::kWriteOne); }
    bool BatchActive() const { return RunningKind(Transfer::Kind::kWriteAll); }
    bool SaveAllActive() const { return RunningKind(Transfer::Kind::kSaveAll); }

private:
    // A numbered program file of a batch and the location it was counted for.
    struct BatchFile {
        std::string path;
        std::string name;
        int location;
        ProgramBlock program;
    };

    bool RunningKind(Transfer::Kind kind) const {
        return transfer_ && transfer_->TransferKind() == kind;
    }
    void Begin(Transfer transfer);
    void Apply(const TransferActions& actions);
    // Hands the messages to the output, which queues them at its pace and returns at once.
    void Send(const std::vector<std::vector<uint8_t>>& messages);
    void WriteReceived(const TransferActions::FileToWrite& file);
    void ShowStatus(const std::string& text);
    // On the GUI thread: the progress line shows what the transfer last said.
    void ShowProgress();
    // The program of a file to be sent, or nothing with the report posted.
    std::optional<ProgramBlock> ReadForSending(const std::string& path);
    // Lists, checks and reads the batch; nothing (with the report posted) when nothing may go.
    std::optional<std::vector<BatchFile>> PlanBatch(const std::string& folder);
    void BeginBatch(const std::vector<BatchFile>& files, bool fillHoles);
    void BeginSaveAll(const std::string& folder);
    // On the GUI thread: hands the bank's receiver what its transfer said.
    void DeliverToBank();

    OrvoEditor& editor_;
    Librarian& librarian_;
    LibraryFolder& folder_;

    std::optional<Transfer> transfer_;
    std::optional<std::string> progress_;
    // The bank's transfer: who hears of it, and what it said that the receiver has not heard.
    BankReceiver* bankReceiver_ = nullptr;
    std::vector<TransferActions::Outcome> bankOutcomes_;
    std::optional<Transfer::State> bankEnd_;
    std::string bankHowFar_;
    bool delivering_ = false;
    bool saveFromUnit_ = false;

    // The firmware update's wait for the unit's first answer.
    bool waitingForUnit_ = false;
    int timeoutTicks_ = 0;
    bool restartedSinceTick_ = false;
    std::function<void()> onWaitTimedOut_;
};

// Hears what became of a bank transfer, on the GUI thread under the plug-in lock.
class BankReceiver {
public:
    virtual ~BankReceiver() = default;
    virtual void LocationDone(const TransferActions::Outcome& outcome) = 0;
    // The transfer has ended (done, failed or cancelled), having got as far as howFar says.
    virtual void TransferEnded(Transfer::State state, const std::string& howFar) = 0;
};
