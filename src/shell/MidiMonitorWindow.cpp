#include "shell/MidiMonitorWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDateTime>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
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
    if (Paused()) {
        unseen_ += taken_.size() + lost;
        return;
    }
    if (lost > 0) {
        AddLine(QString("(%1 messages came faster than the monitor could show them)").arg(lost));
    }
    const int64_t steadyNow = MidiTrafficQueue::NowMs();
    const int64_t wallNow = QDateTime::currentMSecsSinceEpoch();
    for (const MidiTrafficQueue::Entry& entry : taken_)
        AddLine(LineFor(entry, steadyNow, wallNow));
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

void MidiMonitorWindow::AddLine(const QString& line) {
    lines_->appendPlainText(line);
}

QString MidiMonitorWindow::Text() const {
    return lines_->toPlainText();
}

bool MidiMonitorWindow::Paused() const {
    return pause_->isChecked();
}

void MidiMonitorWindow::SetPaused(bool paused) {
    if (pause_->isChecked() != paused) pause_->setChecked(paused);
    if (paused || unseen_ == 0) return;
    AddLine(QString("(%1 messages while paused)").arg(unseen_));
    unseen_ = 0;
}

void MidiMonitorWindow::CopyToClipboard() const {
    QApplication::clipboard()->setText(Text());
}
