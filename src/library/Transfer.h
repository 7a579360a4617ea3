#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "editor/ReportQueue.h"
#include "unit/UnitMessages.h"

// What a transfer asks of its owner after an event, in this order: send the messages, write the
// file (and answer with FileWritten), show the location on the program display, the status and
// progress lines, and the report. A transfer that has ended asks for nothing more.
struct TransferActions {
    struct FileToWrite {
        std::string path;
        ProgramBlock block;
    };
    struct Shown {
        ReportKind kind;
        std::string text;
    };

    std::vector<std::vector<uint8_t>> send;
    std::optional<FileToWrite> write;
    // The written file to load into the panel: what the unit now stores.
    std::optional<std::string> load;
    int location = 0;  // 0: the program display stays as it is
    std::optional<std::string> status;
    std::optional<std::string> progress;  // empty: the progress line is hidden
    std::optional<Shown> report;

    // What became of a location of the bank: its write was stored, it was read back the same
    // (verified), it was read (with its program), or it failed (with the reason).
    struct Outcome {
        enum class What { kStored, kVerified, kRead, kFailed };
        int location = 0;
        What what = What::kStored;
        ProgramBlock program{};
        std::string why;
        bool operator==(const Outcome&) const = default;
    };
    std::optional<Outcome> outcome;
};

// One transfer between program files and the unit, from its start to its end: one file or a
// list of files written into locations, or one location or all 99 read into files. It holds the
// locations and files it was started with and nothing else; it takes the unit's answers, the
// once-a-second tick and a cancel, and says what to do next. Once it has ended (done, failed,
// timed out or cancelled) it takes no event any more.
//
// A message the unit does not answer within kTimeoutTicks ticks is sent again, and so is a
// request answered by a damaged dump, up to kAttempts sends for each program (kFirstContactAttempts
// while the unit has not answered anything yet, so that a unit that is not there is reported
// soon). Status replies carry no program number, so a reply owed to a write that was sent again
// is passed over when it arrives late, and never taken for the answer to the next write.
class Transfer {
public:
    // The bank's kinds go on past a location that fails (once the unit has answered at all)
    // and say what became of each: kReadBank reads locations, kSendBank writes each and reads
    // it back to compare.
    enum class Kind { kWriteOne, kWriteAll, kSaveOne, kSaveAll, kReadBank, kSendBank };
    enum class State { kRunning, kDone, kFailed, kCancelled };

    // A location and its file: for a write, the file sent there with its program as read at
    // the start; for a save, the file the location's program is written to.
    struct Step {
        int location = 0;
        std::string path;
        ProgramBlock program{};
    };

    static constexpr int kTimeoutTicks = 3;
    static constexpr int kAttempts = 8;
    static constexpr int kFirstContactAttempts = 3;

    Transfer(Kind kind, std::vector<Step> steps);

    TransferActions Start();
    TransferActions StatusReply(uint8_t code);
    TransferActions Dump(const uint8_t* bytes, size_t size);
    // The answer to a write action: written, or not with the reason.
    TransferActions FileWritten(bool written, const std::string& reason);
    TransferActions Tick();
    TransferActions Cancel();

    Kind TransferKind() const { return kind_; }
    State CurrentState() const { return state_; }
    bool Running() const { return state_ == State::kRunning; }
    bool Writes() const {
        return kind_ == Kind::kWriteOne || kind_ == Kind::kWriteAll || kind_ == Kind::kSendBank;
    }
    bool ForBank() const { return kind_ == Kind::kReadBank || kind_ == Kind::kSendBank; }
    // Locations of a bank transfer that failed so far.
    int Failures() const { return failures_; }
    // Programs transferred so far, of how many.
    int Completed() const { return static_cast<int>(current_); }
    int Total() const { return static_cast<int>(steps_.size()); }
    // The location the transfer is at; 0 once it has ended.
    int Location() const;
    // How far it got, in a sentence: "Saved 48 of 99 programs."
    std::string HowFar() const;

private:
    TransferActions SendCurrent();
    TransferActions NextStep();
    TransferActions Continue();
    TransferActions Finish();
    TransferActions Fail(const std::string& what);
    TransferActions AskAgain(const std::string& why);
    // A bank transfer passes over the location that failed and goes on with the next.
    TransferActions PassOver(const std::string& what);
    TransferActions Verify(const ProgramBlock& block);
    std::string ProgressText() const;
    std::string StepName() const;
    const Step& Current() const { return steps_[current_]; }

    Kind kind_;
    std::vector<Step> steps_;
    State state_ = State::kRunning;
    size_t current_ = 0;
    // Sends of the current step, and whether the unit has answered anything in this transfer.
    int sends_ = 0;
    bool heard_ = false;
    // Ticks without an answer; a tick that comes within the second of a send does not count.
    int quietTicks_ = 0;
    bool sentSinceTick_ = false;
    // Status replies still due for a write that was sent more than once; while there are any,
    // the next write waits.
    int owedReplies_ = 0;
    // A good dump whose file is being written: nothing else is taken until it is.
    bool writing_ = false;
    // A bank send has had the current write stored and reads the location back.
    bool verifying_ = false;
    int failures_ = 0;
};
