#include "editor/EditHistory.h"

#include <algorithm>

EditHistory::EditHistory(size_t depth) : depth_(std::max<size_t>(depth, 1)) {}

void EditHistory::Reset(const UnitValues& values) {
    undo_.clear();
    redo_.clear();
    recorded_ = values;
    open_.reset();
}

bool EditHistory::Continues(const Origin& origin, int64_t nowMs) const {
    if (!open_ || !(*open_ == origin)) return false;
    switch (origin.source) {
        case Source::kGesture:
            return true;
        case Source::kPanel:
        case Source::kController:
            return nowMs - lastEditMs_ < kRunGapMs;
        case Source::kProgram:
            return false;
    }
    return false;
}

void EditHistory::Begin(const Origin& origin, int64_t nowMs, const UnitValues& current) {
    if (!Continues(origin, nowMs)) {
        Close(current);
        open_ = origin;
    }
    lastEditMs_ = nowMs;
}

void EditHistory::Close(const UnitValues& current) {
    open_.reset();
    Step step;
    for (int position = 0; position < kUnitParamCount; ++position) {
        const auto p = static_cast<size_t>(position);
        if (current[p] != recorded_[p]) step.push_back({position, recorded_[p], current[p]});
    }
    recorded_ = current;
    if (step.empty()) return;
    undo_.push_back(std::move(step));
    redo_.clear();
    while (undo_.size() > depth_)
        undo_.pop_front();
}

bool EditHistory::InGesture() const {
    return open_ && open_->source == Source::kGesture;
}

bool EditHistory::CanUndo(const UnitValues& current) const {
    return !undo_.empty() || current != recorded_;
}

std::optional<std::vector<PositionChange>> EditHistory::Undo(const UnitValues& current) {
    Close(current);
    if (undo_.empty()) return std::nullopt;
    Step step = std::move(undo_.back());
    undo_.pop_back();
    std::vector<PositionChange> back;
    back.reserve(step.size());
    for (const PositionChange& change : step) {
        back.push_back({change.position, change.after, change.before});
        recorded_[static_cast<size_t>(change.position)] = change.before;
    }
    redo_.push_back(std::move(step));
    return back;
}

std::optional<std::vector<PositionChange>> EditHistory::Redo(const UnitValues& current) {
    Close(current);
    if (redo_.empty()) return std::nullopt;
    Step step = std::move(redo_.back());
    redo_.pop_back();
    for (const PositionChange& change : step)
        recorded_[static_cast<size_t>(change.position)] = change.after;
    undo_.push_back(step);
    return step;
}
