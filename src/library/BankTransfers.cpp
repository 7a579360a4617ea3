#include "library/BankTransfers.h"

#include <algorithm>
#include <utility>

#include "library/db/LibraryDatabase.h"
#include "unit/ProgramConversion.h"

namespace {

// The reason a send's backup is kept under.
const char* const kBeforeSend = "before send";

std::string Locations(int count) {
    return std::to_string(count) + (count == 1 ? " location" : " locations");
}

std::string TwoDigitNumber(int location) {
    return (location < 10 ? "0" : "") + std::to_string(location);
}

}  // namespace

BankTransfers::BankTransfers(ProgramTransfers& transfers, LibraryDatabase& database)
    : transfers_(transfers), database_(database), store_(database) {}

BankTransfers::~BankTransfers() {
    // What the running transfer says from now on has nobody to hear it.
    if (Busy()) transfers_.Cancel();
    transfers_.ForgetBank(*this);
}

bool BankTransfers::Open() {
    const LibraryOpenResult& opened = database_.Open();
    if (!opened.Usable()) {
        Say(opened.message);
        return false;
    }
    std::optional<Bank> kept = store_.Load();
    if (!kept) {
        Say("The bank could not be read from the library (" + database_.LastProblem() + ").");
        return false;
    }
    bank_ = std::move(*kept);
    // The last send's backup, to send back, whenever it was taken.
    for (const BankSnapshotInfo& snapshot : store_.Snapshots()) {
        if (snapshot.reason == kBeforeSend) {
            lastKept_ = snapshot.id;
            break;
        }
    }
    if (!opened.message.empty()) Say(opened.message);
    return true;
}

bool BankTransfers::KeepPlan() {
    ++revision_;
    if (store_.SavePlan(bank_)) return true;
    Say("The arrangement could not be kept in the library (" + database_.LastProblem() + ").");
    return false;
}

void BankTransfers::Say(std::string message) {
    message_ = std::move(message);
    ++revision_;
}

int BankTransfers::Done() const {
    return Busy() ? done_ : 0;
}

int BankTransfers::Total() const {
    return Busy() ? static_cast<int>(locations_.size()) : 0;
}

bool BankTransfers::Begin(Phase phase, Transfer::Kind kind, const std::vector<int>& locations) {
    std::vector<Transfer::Step> steps;
    for (int location : locations) {
        Transfer::Step step{location, {}, {}};
        if (kind == Transfer::Kind::kSendBank)
            step.program = ProgramSlotsToUnitBytes(*bank_.At(location).planned);
        steps.push_back(step);
        marks_[Index(location)] = Mark::kNone;
        reasons_[Index(location)].clear();
    }
    phase_ = phase;
    locations_ = locations;
    done_ = 0;
    read_ = {};
    ++revision_;
    if (transfers_.BeginForBank(Transfer(kind, std::move(steps)), *this)) return true;
    phase_ = Phase::kIdle;
    Say("Another transfer with the Orvo is running; wait until it has ended.");
    return false;
}

bool BankTransfers::StartRead() {
    if (Busy()) return false;
    std::vector<int> all;
    for (int location = kFirstProgramNumber; location <= kLastProgramNumber; ++location)
        all.push_back(location);
    Say("Reading the bank...");
    return Begin(Phase::kReading, Transfer::Kind::kReadBank, all);
}

bool BankTransfers::StartSend() {
    if (Busy()) return false;
    const std::vector<int> differing = bank_.DifferingLocations();
    if (differing.empty()) {
        Say("Every location already holds what is planned for it; nothing was sent.");
        return false;
    }
    // The locations about to be overwritten are read first, for the snapshot.
    Say("Keeping the bank before sending...");
    return Begin(Phase::kKeeping, Transfer::Kind::kReadBank, differing);
}

bool BankTransfers::SendBack(int64_t snapshot) {
    if (Busy()) return false;
    const std::optional<BankPrograms> kept = store_.Snapshot(snapshot);
    if (!kept) {
        Say("That snapshot is not in the library.");
        return false;
    }
    BankPrograms planned = bank_.Planned();
    for (size_t i = 0; i < planned.size(); ++i) {
        if ((*kept)[i]) planned[i] = (*kept)[i];
    }
    bank_.SetPlan(planned);
    return KeepPlan() && StartSend();
}

void BankTransfers::Cancel() {
    if (Busy()) transfers_.Cancel();
}

void BankTransfers::LocationDone(const TransferActions::Outcome& outcome) {
    using What = TransferActions::Outcome::What;
    const int location = outcome.location;
    if (!Bank::IsLocation(location)) return;
    switch (outcome.what) {
        case What::kRead:
            ++done_;
            Read(location, UnitBytesToProgramSlots(outcome.program));
            break;
        case What::kStored:
            marks_[Index(location)] = Mark::kSent;
            break;
        case What::kVerified: {
            ++done_;
            marks_[Index(location)] = Mark::kVerified;
            const ProgramValues program = UnitBytesToProgramSlots(outcome.program);
            bank_.SetKnown(location, program, database_.Now());
            if (!store_.SaveKnown(location, program, database_.Now()))
                Say("What the Orvo holds could not be kept in the library.");
            break;
        }
        case What::kFailed:
            ++done_;
            Failed(location, outcome.why);
            if (phase_ == Phase::kSending) Forget(location);
            break;
    }
    ++revision_;
}

void BankTransfers::Read(int location, const ProgramValues& program) {
    const int64_t now = database_.Now();
    read_[Index(location)] = program;
    bank_.SetKnown(location, program, now);
    store_.SaveKnown(location, program, now);
    database_.AddProgram(program, "Orvo " + TwoDigitNumber(location),
                         {SourceKind::kUnit, {}, location, now});
}

void BankTransfers::Forget(int location) {
    // A write that went out unverified leaves the location holding who knows what.
    bank_.Forget(location);
    store_.ForgetKnown(location);
}

void BankTransfers::Failed(int location, const std::string& why) {
    marks_[Index(location)] = Mark::kFailed;
    reasons_[Index(location)] = why;
}

void BankTransfers::TransferEnded(Transfer::State state, const std::string& howFar) {
    const Phase phase = phase_;
    phase_ = Phase::kIdle;
    switch (phase) {
        case Phase::kReading:
            ReadEnded(state, howFar);
            break;
        case Phase::kKeeping:
            KeepingEnded(state);
            break;
        case Phase::kSending:
            SendEnded(state);
            break;
        case Phase::kIdle:
            break;
    }
    ++revision_;
}

void BankTransfers::ReadEnded(Transfer::State state, const std::string& howFar) {
    const int read = static_cast<int>(
        std::count_if(read_.begin(), read_.end(), [](const auto& p) { return p.has_value(); }));
    if (read > 0) lastRead_ = store_.SaveSnapshot("read", read_);
    if (state == Transfer::State::kCancelled) {
        Say("Stopped. " + howFar);
    } else if (state == Transfer::State::kFailed) {
        Say("The Orvo did not answer; nothing was read.");
    } else {
        const int failed = static_cast<int>(locations_.size()) - read;
        Say("Read " + std::to_string(read) + " of " +
            Locations(static_cast<int>(locations_.size())) +
            (failed > 0 ? "; " + std::to_string(failed) + " failed." : "."));
    }
}

void BankTransfers::KeepingEnded(Transfer::State state) {
    if (state == Transfer::State::kCancelled) {
        Say("Stopped before anything was sent.");
        return;
    }
    if (state == Transfer::State::kFailed) {
        Say("The Orvo did not answer; nothing was sent.");
        return;
    }
    // A location that could not be read first is not overwritten: its program would be lost.
    std::vector<int> sending;
    for (int location : locations_) {
        if (!read_[Index(location)]) {
            Failed(location, "Location " + std::to_string(location) +
                                 " could not be read before sending, so it was not overwritten.");
        } else if (bank_.At(location).Differs()) {
            sending.push_back(location);
        }
    }
    lastKept_ = store_.SaveSnapshot(kBeforeSend, bank_.Known());
    if (!lastKept_) {
        Say("The bank could not be kept in the library before sending (" + database_.LastProblem() +
            "); nothing was sent.");
        return;
    }
    if (sending.empty()) {
        Say("The Orvo already holds what is planned; nothing was sent.");
        return;
    }
    Say("Sending...");
    Begin(Phase::kSending, Transfer::Kind::kSendBank, sending);
}

void BankTransfers::SendEnded(Transfer::State state) {
    int verified = 0, failed = 0;
    for (int location : locations_) {
        verified += marks_[Index(location)] == Mark::kVerified ? 1 : 0;
        failed += marks_[Index(location)] == Mark::kFailed ? 1 : 0;
    }
    // A location written but not read back the same holds something the library cannot name.
    for (int location : locations_) {
        if (marks_[Index(location)] != Mark::kSent) continue;
        Failed(location, "Sent, but not verified.");
        Forget(location);
    }
    const std::string counts = std::to_string(verified) + " of " +
                               Locations(static_cast<int>(locations_.size())) + " verified";
    if (state == Transfer::State::kCancelled) {
        Say("Stopped: " + counts + ". Send goes on with the rest.");
    } else if (state == Transfer::State::kFailed) {
        Say("The Orvo stopped answering: " + counts + ". Send goes on with the rest.");
    } else if (failed > 0) {
        Say(counts + "; " + std::to_string(failed) + " failed. Retry sends them again.");
    } else {
        Say(counts + ".");
    }
}
