#include "shell/MidiMonitorWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDateTime>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include "midi/MidiLink.h"

namespace {
// Who is at the other end: the unit, on its input and on the output, or the keyboard.
const char* RoleWord(MidiRole role) {
    return role == MidiRole::KeyboardInput ? "keys" : "unit";
}
}  // namespace

MidiMonitorWindow::MidiMonitorWindow(MidiLink& link, QWidget* owner)
    : QWidget(owner, Qt::Window), link_(link) {
    setWindowTitle("MIDI Monitor");
    lines_ = new QPlainTextEdit(this);
    lines_->setReadOnly(true);
    lines_->setMaximumBlockCount(kMaxLines);
    lines_->setLineWrapMode(QPlainTextEdit::NoWrap);
    lines_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    pause_ = new QCheckBox("Pause", this);
    auto* copy = new QPushButton("Copy", this);
    auto* clear = new QPushButton("Clear", this);
    connect(pause_, &QCheckBox::toggled, this, &MidiMonitorWindow::SetPaused);
    connect(copy, &QPushButton::clicked, this, &MidiMonitorWindow::CopyToClipboard);
    connect(clear, &QPushButton::clicked, lines_, &QPlainTextEdit::clear);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(pause_);
    buttons->addStretch();
    buttons->addWidget(copy);
    buttons->addWidget(clear);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lines_);
    layout->addLayout(buttons);
    resize(720, 420);

    taken_.reserve(kLinesPerTake);
    timer_ = new QTimer(this);
    connect(timer_, &QTimer::timeout, this, &MidiMonitorWindow::TakeTraffic);
    timer_->start(kTakeEveryMs);
}

void MidiMonitorWindow::TakeTraffic() {
    taken_.clear();
    link_.Traffic().Take(taken_, kLinesPerTake);
    const size_t lost = link_.Traffic().TakeLostCount();
    QStringList lines;
    if (lost > 0) {
        lines << QString("(%1 messages came faster than the monitor could show them)").arg(lost);
    }
    const int64_t steadyNow = MidiTrafficQueue::NowMs();
    const int64_t wallNow = QDateTime::currentMSecsSinceEpoch();
    for (const MidiTrafficQueue::Entry& entry : taken_)
        lines << LineFor(entry, steadyNow, wallNow);
    if (lines.isEmpty()) return;
    if (Paused()) {
        Hold(std::move(lines));
    } else {
        AddLines(lines);
    }
}

QString MidiMonitorWindow::LineFor(const MidiTrafficQueue::Entry& entry, int64_t steadyNowMs,
                                   int64_t wallNowMs) {
    const QDateTime when = QDateTime::fromMSecsSinceEpoch(wallNowMs - (steadyNowMs - entry.timeMs));
    const bool in = entry.direction == MidiTrafficQueue::Direction::In;
    const std::string& port = link_.OpenedName(entry.role);
    const std::string text = decoder_.Describe(static_cast<int>(entry.role), entry.bytes.data(),
                                               entry.KeptSize(), entry.size);
    return QString("%1  %2 %3  %4  %5")
        .arg(when.toString("HH:mm:ss.zzz"), in ? "in " : "out", RoleWord(entry.role),
             QString::fromStdString(port), QString::fromStdString(text));
}

void MidiMonitorWindow::AddLines(const QStringList& lines) {
    QScrollBar* scroll = lines_->verticalScrollBar();
    const bool following = scroll->value() >= scroll->maximum();
    lines_->appendPlainText(lines.join('\n'));
    if (following) scroll->setValue(scroll->maximum());
}

void MidiMonitorWindow::Hold(QStringList lines) {
    for (QString& line : lines)
        held_.push_back(std::move(line));
    // The list keeps no more than kMaxLines either: the held lines and the line that says how
    // many of the oldest were let go fill it at most.
    while (held_.size() > static_cast<size_t>(kMaxLines - 1)) {
        held_.pop_front();
        ++heldDropped_;
    }
    ShowHeldCount();
}

void MidiMonitorWindow::ShowHeldCount() {
    pause_->setText(held_.empty() ? QString("Pause")
                                  : QString("Pause (%1 held)").arg(held_.size()));
}

QString MidiMonitorWindow::Text() const {
    return lines_->toPlainText();
}

bool MidiMonitorWindow::Paused() const {
    return pause_->isChecked();
}

void MidiMonitorWindow::SetPaused(bool paused) {
    if (pause_->isChecked() != paused) pause_->setChecked(paused);
    if (paused || (held_.empty() && heldDropped_ == 0)) return;
    QStringList lines;
    if (heldDropped_ > 0)
        lines << QString("(the %1 oldest messages that came while paused are not kept)")
                     .arg(heldDropped_);
    for (QString& line : held_)
        lines << std::move(line);
    held_.clear();
    heldDropped_ = 0;
    ShowHeldCount();
    AddLines(lines);
}

void MidiMonitorWindow::CopyToClipboard() const {
    QApplication::clipboard()->setText(Text());
}
