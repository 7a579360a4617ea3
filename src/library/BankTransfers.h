#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "library/ProgramTransfers.h"
#include "library/db/Bank.h"
#include "library/db/BankStore.h"

class LibraryDatabase;

// The unit's bank as the user works with it: what each location holds, the arrangement the
// user plans, reading all 99 locations into the library, and sending only the locations that
// differ, each read back and compared. Before the first write of a send the locations it will
// overwrite are read, and the bank as the unit then holds it is kept as a snapshot, so that
// sending the snapshot back undoes the send. A send that was stopped, failed in places or was
// cut short by the editor's end goes on where it was with the next Send: what was verified is
// known to the library and is not sent again.
//
// The transfers run as ProgramTransfers runs every other one, with its retries; this class is
// called under the plug-in lock on the GUI thread.
class BankTransfers : public BankReceiver {
public:
    enum class Mark { kNone, kSent, kVerified, kFailed };
    enum class Phase { kIdle, kReading, kKeeping, kSending };

    BankTransfers(ProgramTransfers& transfers, LibraryDatabase& database);
    ~BankTransfers() override;
    BankTransfers(const BankTransfers&) = delete;
    BankTransfers& operator=(const BankTransfers&) = delete;

    // Takes up the bank as the library keeps it; false (with the reason as the message) when
    // the library cannot be used.
    bool Open();

    // The bank, to look at and to arrange; KeepPlan stores the arrangement after a change.
    const Bank& Arrangement() const { return bank_; }
    Bank& Arrangement() { return bank_; }
    bool KeepPlan();

    // Reads all 99 locations into the library; the result is a snapshot.
    bool StartRead();
    // Sends the locations that differ (or goes on with those a stopped or failed send left).
    bool StartSend();
    // Plans the snapshot's programs for every location it holds, and sends them.
    bool SendBack(int64_t snapshot);
    void Cancel();

    Phase CurrentPhase() const { return phase_; }
    bool Busy() const { return phase_ != Phase::kIdle; }
    Mark MarkOf(int location) const { return marks_[Index(location)]; }
    // Why a location failed, in a sentence; empty for one that did not.
    const std::string& WhyFailed(int location) const { return reasons_[Index(location)]; }
    // What the last read or send came to, in a sentence for the user.
    const std::string& Message() const { return message_; }
    // Locations done and planned in the running phase.
    int Done() const;
    int Total() const;
    // The snapshot taken before the last send, and after the last read.
    std::optional<int64_t> LastKept() const { return lastKept_; }
    std::optional<int64_t> LastRead() const { return lastRead_; }
    BankStore& Store() { return store_; }
    // Grows with every change the view should show.
    uint64_t Revision() const { return revision_; }

    void LocationDone(const TransferActions::Outcome& outcome) override;
    void TransferEnded(Transfer::State state, const std::string& howFar) override;

private:
    static size_t Index(int location) { return static_cast<size_t>(location - 1); }
    bool Begin(Phase phase, Transfer::Kind kind, const std::vector<int>& locations);
    void Read(int location, const ProgramValues& program);
    void Failed(int location, const std::string& why);
    void Forget(int location);
    void ReadEnded(Transfer::State state, const std::string& howFar);
    void KeepingEnded(Transfer::State state);
    void SendEnded(Transfer::State state);
    void Say(std::string message);

    ProgramTransfers& transfers_;
    LibraryDatabase& database_;
    BankStore store_;
    Bank bank_;
    Phase phase_ = Phase::kIdle;
    std::array<Mark, kLastProgramNumber> marks_{};
    std::array<std::string, kLastProgramNumber> reasons_{};
    // The locations of the running phase, and what a read has brought in so far.
    std::vector<int> locations_;
    BankPrograms read_;
    int done_ = 0;
    std::string message_;
    std::optional<int64_t> lastKept_;
    std::optional<int64_t> lastRead_;
    uint64_t revision_ = 0;
};
