#include "editor/ReportQueue.h"

void ReportQueue::Post(ReportKind kind, std::string text, std::function<void(bool ok)> answer,
                       Report::DefaultButton defaultButton) {
    steps_.emplace_back(Report{kind, std::move(text), std::move(answer), defaultButton});
}

void ReportQueue::PostFolderChoice(std::string startFolder,
                                   std::function<void(const std::optional<std::string>&)> chosen) {
    steps_.emplace_back(FolderChoice{std::move(startFolder), std::move(chosen)});
}

void ReportQueue::PostChooserOpening(int paramIndex) {
    steps_.emplace_back(ChooserOpening{paramIndex});
}

std::optional<ModalStep> ReportQueue::TakeNext() {
    if (steps_.empty()) return std::nullopt;
    ModalStep step = std::move(steps_.front());
    steps_.pop_front();
    return step;
}

bool ReportQueue::BeginShowing() {
    if (showing_) return false;
    showing_ = true;
    return true;
}

const char* ReportQueue::Caption(ReportKind kind) {
    switch (kind) {
        case ReportKind::kWarning:
            return "Warning";
        case ReportKind::kDone:
            return "Done";
        default:
            return "Error";
    }
}
