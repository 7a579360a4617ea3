#pragma once

#include <QWidget>

#include <cstddef>
#include <vector>

#include "editor/TrafficDecoder.h"
#include "midi/MidiTrafficQueue.h"

class MidiLink;
class QCheckBox;
class QPlainTextEdit;
class QPushButton;
class QTimer;

// "MIDI Monitor": every message between the editor, the unit and the keyboard, one line each
// with its time, direction and port, decoded where the unit's protocol says what it is. The
// window takes the messages from the link's traffic queue on a timer, so the MIDI input thread
// never waits for it; it keeps the last kMaxLines lines, can be paused, and copies as text.
class MidiMonitorWindow : public QWidget {
    Q_OBJECT

public:
    static constexpr int kMaxLines = 5000;
    static constexpr int kTakeEveryMs = 100;
    // At most this many messages are turned into lines per take, so a flood cannot hold up the
    // GUI thread; the queue keeps the rest for the next take or lets the oldest go.
    static constexpr size_t kLinesPerTake = 500;

    MidiMonitorWindow(MidiLink& link, QWidget* owner);

    // Takes what waits in the queue and adds its lines (or counts it, while paused).
    void TakeTraffic();
    // Every line shown, as the clipboard gets it.
    QString Text() const;
    void SetPaused(bool paused);
    bool Paused() const;
    void CopyToClipboard() const;

private:
    QString LineFor(const MidiTrafficQueue::Entry& entry, int64_t steadyNowMs, int64_t wallNowMs);
    void AddLine(const QString& line);

    MidiLink& link_;
    TrafficDecoder decoder_;
    std::vector<MidiTrafficQueue::Entry> taken_;
    QPlainTextEdit* lines_ = nullptr;
    QCheckBox* pause_ = nullptr;
    QTimer* timer_ = nullptr;
    size_t unseen_ = 0;  // messages that came while paused
};
