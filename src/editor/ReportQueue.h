#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <variant>

// What the user must be told, as a modal box: the kind picks the caption, the icon and the
// buttons ("Error" with the error icon, "Warning" with OK and Cancel, "Done" with the
// information icon).
enum class ReportKind : int { kError, kWarning, kDone };

struct Report {
    // The button Enter presses: a question whose OK overwrites something has Cancel.
    enum class DefaultButton : int { kOk, kCancel };

    ReportKind kind = ReportKind::kError;
    std::string text;
    // A warning's answer, true for OK and false for Cancel (or when there is nobody to ask). It
    // runs under the plug-in lock once the box is closed, so the operation that asked goes on
    // from there.
    std::function<void(bool ok)> answer;
    DefaultButton defaultButton = DefaultButton::kOk;
};

// The folder dialog: where it opens, and what to do with the choice (nothing on cancel), run
// under the plug-in lock once the dialog is closed.
struct FolderChoice {
    std::string startFolder;
    std::function<void(const std::optional<std::string>& folder)> chosen;
};

// A file chooser of the panel to open, as a click on it would; its choice arrives as a change of
// its parameter.
struct ChooserOpening {
    int paramIndex = -1;
};

using ModalStep = std::variant<Report, FolderChoice, ChooserOpening>;

// Modal steps decided under the plug-in lock and shown after it is released: the MIDI input
// thread takes the same lock, and it must never wait behind a box somebody has not closed yet.
// Every operation here is called with the plug-in lock held. The editor takes the steps out one
// at a time in the order they were posted, releases the lock for the box or dialog, and hands
// the answer back under the lock; an answer may post further steps, which follow in the same
// round.
class ReportQueue {
public:
    void Post(ReportKind kind, std::string text, std::function<void(bool ok)> answer = {},
              Report::DefaultButton defaultButton = Report::DefaultButton::kOk);
    void PostFolderChoice(std::string startFolder,
                          std::function<void(const std::optional<std::string>&)> chosen);
    void PostChooserOpening(int paramIndex);

    [[nodiscard]] std::optional<ModalStep> TakeNext();
    bool Empty() const { return steps_.empty(); }
    size_t Size() const { return steps_.size(); }

    // One round of showing at a time: a box runs an event loop of its own, in which the panel's
    // timer asks to show again; that call leaves the queue to the round already running.
    [[nodiscard]] bool BeginShowing();
    void EndShowing() { showing_ = false; }
    bool Showing() const { return showing_; }

    static const char* Caption(ReportKind kind);

private:
    std::deque<ModalStep> steps_;
    bool showing_ = false;
};
