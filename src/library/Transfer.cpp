#include "library/Transfer.h"

#include <utility>

namespace {

const char* const kNotPresent = "Orvo not present or a communication\nerror has occurred!";
const char* const kCommunicationStatus = "Communication error!";
const char* const kFinished = "Finished successfully!";
const char* const kConnectingStatus = "Connecting to Orvo...";
const char* const kNoAnswer = "did not answer";

std::string FileNamePart(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string BaseNamePart(const std::string& path) {
    const std::string name = FileNamePart(path);
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

}  // namespace

Transfer::Transfer(Kind kind, std::vector<Step> steps) : kind_(kind), steps_(std::move(steps)) {}

int Transfer::Location() const {
    return Running() && current_ < steps_.size() ? Current().location : 0;
}

std::string Transfer::HowFar() const {
    const std::string counts = std::to_string(Completed()) + " of " + std::to_string(Total());
    if (kind_ == Kind::kReadBank) return "Read " + counts + " locations.";
    if (kind_ == Kind::kSendBank) return "Sent " + counts + " locations.";
    return Writes() ? "Wrote " + counts + " programs to the Orvo."
                    : "Saved " + counts + " programs.";
}

std::string Transfer::StepName() const {
    return (Writes() || ForBank() ? "Location " : "Program ") + std::to_string(Current().location);
}

std::string Transfer::ProgressText() const {
    const std::string location = std::to_string(Current().location);
    switch (kind_) {
        case Kind::kWriteOne:
            return "Writing to location " + location;
        case Kind::kSaveOne:
            return "Saving program " + location;
        default:
            break;
    }
    const std::string of = std::to_string(current_ + 1) + " of " + std::to_string(Total());
    if (kind_ == Kind::kReadBank) return "Reading location " + location + " (" + of + ")";
    if (kind_ == Kind::kSendBank) {
        return (verifying_ ? "Verifying location " : "Sending location ") + location + " (" + of +
               ")";
    }
    return (Writes() ? "Writing program " : "Saving program ") + of;
}

TransferActions Transfer::Start() {
    if (steps_.empty()) return Finish();
    TransferActions actions = SendCurrent();
    if (kind_ == Kind::kSaveOne || kind_ == Kind::kSaveAll) actions.status = kConnectingStatus;
    return actions;
}

TransferActions Transfer::SendCurrent() {
    TransferActions actions;
    const Step& step = steps_[current_];
    std::optional<std::vector<uint8_t>> message =
        Writes() && !verifying_ ? BuildProgramWrite(step.location, step.program)
                                : BuildDumpRequest(step.location);
    if (!message) return Fail(StepName() + " is no location of the Orvo.");
    actions.send.push_back(std::move(*message));
    ++sends_;
    quietTicks_ = 0;
    sentSinceTick_ = true;
    actions.progress = ProgressText();
    if (kind_ == Kind::kWriteAll) {
        actions.location = step.location;
        actions.status = BaseNamePart(step.path);
    }
    return actions;
}

TransferActions Transfer::NextStep() {
    ++current_;
    sends_ = 0;
    verifying_ = false;
    // Replies still owed to a write that was sent again: the next write waits until they have
    // come or a time-out has passed, so that none of them is taken for its answer.
    if (owedReplies_ > 0) {
        quietTicks_ = 0;
        sentSinceTick_ = true;
        return {};
    }
    return Continue();
}

TransferActions Transfer::Continue() {
    owedReplies_ = 0;
    if (current_ == steps_.size()) return Finish();
    return SendCurrent();
}

TransferActions Transfer::Finish() {
    state_ = State::kDone;
    TransferActions actions;
    actions.progress = "";
    switch (kind_) {
        case Kind::kWriteOne:
            actions.load = steps_.front().path;
            break;
        case Kind::kSaveOne:
            // The file's writer has confirmed the save in the status line.
            break;
        case Kind::kWriteAll:
            actions.status = kFinished;
            actions.report = TransferActions::Shown{
                ReportKind::kDone, std::string(kFinished) + "\n" + std::to_string(Total()) +
                                       " programs went to the Orvo."};
            break;
        case Kind::kSaveAll:
            actions.status = kFinished;
            actions.report =
                TransferActions::Shown{ReportKind::kDone, std::string(kFinished) + "\n" + HowFar()};
            break;
        case Kind::kReadBank:
        case Kind::kSendBank:
            // The bank says what became of each location itself.
            break;
    }
    return actions;
}

TransferActions Transfer::PassOver(const std::string& what) {
    ++failures_;
    TransferActions::Outcome failed{
        Current().location, TransferActions::Outcome::What::kFailed, {}, what};
    TransferActions actions = NextStep();
    actions.outcome = std::move(failed);
    return actions;
}

TransferActions Transfer::Fail(const std::string& what) {
    // Once the unit has answered, one location that fails is no reason to stop the bank.
    if (ForBank() && heard_ && current_ < steps_.size()) return PassOver(what);
    state_ = State::kFailed;
    TransferActions actions;
    actions.progress = "";
    actions.status = kCommunicationStatus;
    std::string text;
    if (!heard_ && current_ == 0 && what.find(kNoAnswer) != std::string::npos) {
        // Nothing came back at all: most likely the unit is not there.
        text = kNotPresent;
    } else if (kind_ == Kind::kWriteAll || kind_ == Kind::kSaveAll) {
        text = HowFar() + "\n" + what;
    } else {
        text = what;
    }
    actions.report = TransferActions::Shown{ReportKind::kError, text};
    return actions;
}

TransferActions Transfer::AskAgain(const std::string& why) {
    const int limit = heard_ ? kAttempts : kFirstContactAttempts;
    if (sends_ >= limit) return Fail(StepName() + " " + why + ".");
    return SendCurrent();
}

TransferActions Transfer::StatusReply(uint8_t code) {
    if (!Running() || !Writes()) return {};
    if (code != kReplyProgramStored && code != kReplyProgramNotStored) return {};
    if (owedReplies_ > 0) {
        // The answer to a write sent again after its time-out: the step it belongs to is over.
        // While the location is read back, the next write is not due yet.
        if (verifying_) {
            --owedReplies_;
            return {};
        }
        return --owedReplies_ == 0 ? Continue() : TransferActions{};
    }
    if (verifying_) return {};
    heard_ = true;
    owedReplies_ = sends_ - 1;
    if (code == kReplyProgramNotStored) {
        return Fail("The Orvo did not store the program for location " +
                    std::to_string(Current().location) + ".");
    }
    if (kind_ != Kind::kSendBank) return NextStep();
    // Stored: the location is read back to compare, with attempts of its own.
    const int location = Current().location;
    verifying_ = true;
    sends_ = 0;
    TransferActions actions = SendCurrent();
    actions.outcome = {location, TransferActions::Outcome::What::kStored, {}, {}};
    return actions;
}

TransferActions Transfer::Dump(const uint8_t* bytes, size_t size) {
    if (!Running() || (Writes() && !verifying_) || writing_) return {};
    if (!IsProgramDump(bytes, size)) return {};
    // A dump of another program answers a request of an earlier step, or nobody's.
    if (bytes[kProgramNumberIndex] != Current().location) return {};
    heard_ = true;
    const std::optional<ProgramBlock> block = ProgramBlockOf(bytes, size);
    if (!block || !DumpChecksumMatches(bytes, size)) return AskAgain("kept arriving damaged");
    if (verifying_) return Verify(*block);
    if (kind_ == Kind::kReadBank) {
        TransferActions::Outcome read{
            Current().location, TransferActions::Outcome::What::kRead, *block, {}};
        TransferActions actions = NextStep();
        actions.outcome = std::move(read);
        return actions;
    }
    writing_ = true;
    TransferActions actions;
    actions.write = TransferActions::FileToWrite{Current().path, *block};
    return actions;
}

TransferActions Transfer::Verify(const ProgramBlock& block) {
    if (block != Current().program) {
        return Fail("Location " + std::to_string(Current().location) +
                    " holds another program than the one sent.");
    }
    TransferActions::Outcome verified{
        Current().location, TransferActions::Outcome::What::kVerified, block, {}};
    TransferActions actions = NextStep();
    actions.outcome = std::move(verified);
    return actions;
}

TransferActions Transfer::FileWritten(bool written, const std::string& reason) {
    if (!Running() || !writing_) return {};
    writing_ = false;
    if (!written) {
        TransferActions failed = Fail(FileNamePart(Current().path) + " could not be written" +
                                      (reason.empty() ? std::string(".") : ": " + reason + "."));
        // The unit did its part: the status line keeps what the file's writer showed.
        failed.status.reset();
        return failed;
    }
    return NextStep();
}

TransferActions Transfer::Tick() {
    if (!Running() || writing_) return {};
    if (sentSinceTick_) {
        // The unit always has whole seconds: the tick within the second of a send does not count.
        sentSinceTick_ = false;
        return {};
    }
    if (++quietTicks_ < kTimeoutTicks) return {};
    // The replies still owed were lost on the way.
    if (owedReplies_ > 0 && !verifying_) return Continue();
    return AskAgain(kNoAnswer);
}

TransferActions Transfer::Cancel() {
    if (!Running()) return {};
    state_ = State::kCancelled;
    TransferActions actions;
    actions.progress = "";
    actions.status = "Stopped. " + HowFar();
    return actions;
}
