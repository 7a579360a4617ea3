#pragma once

#include <QWidget>

#include <QStringList>

#include <cstddef>
#include <deque>
#include <vector>

#include "midi/MidiTrafficQueue.h"
#include "unit/TrafficDecoder.h"

class MidiLink;
class QCheckBox;
class QPlainTextEdit;
class QPushButton;
class QTimer;

// "MIDI Monitor": every message between the editor, the unit and the keyboard, one line each
// with its time, direction and port, decoded where the unit's protocol says what it is. The
// window takes the messages from the link's traffic queue on a timer, so the MIDI input thread
// never waits for it; it keeps the last kMaxLines lines and copies them as text. The list follows
// the newest line unless the user scrolled up; Pause holds it still and keeps what arrives
// meanwhile (up to kMaxLines lines, the newest) for Resume to show in order.
class MidiMonitorWindow : public QWidget {
    Q_OBJECT

public:
    static constexpr int kMaxLines = 5000;
    static constexpr int kTakeEveryMs = 100;
    // At most this many messages are turned into lines per take, so a flood cannot hold up the
    // GUI thread; the queue keeps the rest for the next take or lets the oldest go.
    static constexpr size_t kLinesPerTake = 500;

    MidiMonitorWindow(MidiLink& link, QWidget* owner);

    // Takes what waits in the queue and adds its lines (or holds them back, while paused).
    void TakeTraffic();
    // Every line shown, as the clipboard gets it.
    QString Text() const;
    void SetPaused(bool paused);
    bool Paused() const;
    void CopyToClipboard() const;
    // The lines held back by Pause.
    size_t HeldCount() const { return held_.size(); }
    QPlainTextEdit* Lines() const { return lines_; }

private:
    QString LineFor(const MidiTrafficQueue::Entry& entry, int64_t steadyNowMs, int64_t wallNowMs);
    // Shows lines at the end of the list, and keeps the newest in view when it was in view.
    void AddLines(const QStringList& lines);
    void Hold(QStringList lines);
    void ShowHeldCount();

    MidiLink& link_;
    TrafficDecoder decoder_;
    std::vector<MidiTrafficQueue::Entry> taken_;
    QPlainTextEdit* lines_ = nullptr;
    QCheckBox* pause_ = nullptr;
    QTimer* timer_ = nullptr;
    std::deque<QString> held_;  // lines that came while paused, oldest first
    size_t heldDropped_ = 0;    // the oldest of them, let go beyond kMaxLines
};
