#include "library/FirmwareUpdate.h"

#include <cstdio>

#include "editor/OrvoEditor.h"
#include "library/Librarian.h"
#include "library/ProgramTransfers.h"
#include "unit/FirmwareMessages.h"
#include "unit/UnitMessages.h"
#include "util/DebugPrint.h"
#include "util/FileReader.h"

namespace {

const char* const kNotValidBox = "This is not a valid firmware file!";
const char* const kNotValidStatus = "Not a valid firmware file!";
const char* const kErrorBox = "Communication error has occurred!";
const char* const kErrorStatus = "Communication error!";
const char* const kPortGoneBox =
    "The Orvo's MIDI port went away during the firmware update.\n"
    "The update did not finish: connect the Orvo again and repeat the update.";
const char* const kSilentBox =
    "The Orvo stopped answering during the firmware update.\n"
    "The update did not finish: switch the Orvo off and on and repeat the update.";
const char* const kBrokenOffStatus = "Update not finished!";
const char* const kStoppedStatus = "Update stopped: repeat it to finish!";

// Whole seconds, rounded up, that size bytes take at bytesPerSecond.
size_t SecondsFor(size_t size, uint32_t bytesPerSecond) {
    return (size + bytesPerSecond - 1) / bytesPerSecond;
}

std::string ProgressText(size_t handed, size_t total, uint32_t bytesPerSecond) {
    char text[96];
    std::snprintf(text, sizeof text, "Update sent: %zu %% (%zu of %zu bytes)",
                  total == 0 ? 100 : handed * 100 / total, handed, total);
    std::string line = text;
    if (bytesPerSecond > 0 && handed < total) {
        line.insert(
            line.size() - 1,
            ", about " + std::to_string(SecondsFor(total - handed, bytesPerSecond)) + " s left");
    }
    return line;
}

}  // namespace

FirmwareUpdate::FirmwareUpdate(OrvoEditor& editor, ProgramTransfers& transfers)
    : editor_(editor),
      transfers_(transfers),
      dataMessage_(std::make_shared<const std::vector<uint8_t>>()) {
    // The wait for the unit's first answer ran out: the transfers report it, the update ends.
    transfers_.SetOnWaitTimedOut([this] { firmwareMode_ = false; });
}

FirmwareUpdate::~FirmwareUpdate() {
    breakOff_ = true;
    {
        std::lock_guard<std::mutex> hold(sendLock_);
        stopping_ = true;
    }
    sendWake_.notify_all();
    if (sendingThread_.joinable()) sendingThread_.join();
}

void FirmwareUpdate::ShowStatus(const std::string& text) {
    if (EditorPanel* panel = editor_.Panel()) panel->SetStatusLine(text);
}

void FirmwareUpdate::ShowProgress(const std::string& text) {
    if (text == shownProgress_) return;
    shownProgress_ = text;
    if (EditorPanel* panel = editor_.Panel()) panel->ShowTransferProgress(text);
}

void FirmwareUpdate::RefuseImage(const std::string& why) {
    DebugPrint("firmware update: %s", why.c_str());
    editor_.Reports().Post(ReportKind::kError, kNotValidBox);
    firmwareMode_ = false;
    ShowStatus(kNotValidStatus);
}

void FirmwareUpdate::StartFirmwareUpdate(const std::string& path) {
    {
        std::lock_guard<std::mutex> hold(sendLock_);
        if (sending_ || !sendQueue_.empty()) {
            DebugPrint("firmware update: an image is still on its way; %s not started",
                       path.c_str());
            return;
        }
    }
    // Read once and whole: what is checked here is what the unit gets, even when the file
    // changes or goes before the unit asks for the data.
    const std::optional<std::string> file = ReadWholeFile(path, kLargestFirmwareImage);
    if (!file) {
        FileReader reader(path);
        if (!reader.IsOpen()) {
            ShowStatus("Could not read " + FileNameOf(path) + "!");
            return;
        }
        RefuseImage(path + " has " + std::to_string(reader.Size()) + " bytes");
        return;
    }
    const std::vector<uint8_t> image(file->begin(), file->end());
    // An empty image would have the unit erase itself for nothing.
    if (image.empty()) {
        RefuseImage(path + " is empty");
        return;
    }
    std::optional<std::vector<uint8_t>> message = BuildFirmwareData(image.data(), image.size());
    if (!message) {
        RefuseImage(path + " cannot be encoded");
        return;
    }
    // The unit is the judge of its firmware: an image whose tail cannot travel exactly goes
    // when the user says so, knowing what the unit will get.
    if (const std::optional<std::string> change = FirmwareTailChange(image.data(), image.size())) {
        auto built = std::make_shared<std::vector<uint8_t>>(std::move(*message));
        editor_.Reports().Post(ReportKind::kWarning, *change + "\n\nSend it to the Orvo anyway?",
                               [this, built](bool ok) {
                                   if (ok) BeginUpdate(std::move(*built));
                               });
        return;
    }
    BeginUpdate(std::move(*message));
}

void FirmwareUpdate::BeginUpdate(std::vector<uint8_t> message) {
    dataMessage_ = std::make_shared<const std::vector<uint8_t>>(std::move(message));
    handed_ = 0;
    total_ = 0;
    breakOff_ = false;
    const uint32_t pace = editor_.OutputBytesPerSecond();
    estimate_ = pace == 0
                    ? std::string()
                    : "The update of " + std::to_string(dataMessage_->size()) +
                          " bytes takes about " +
                          std::to_string(SecondsFor(dataMessage_->size(), pace)) + " s to send.";
    ShowProgress(estimate_);

    ShowStatus("Connecting to Orvo...");
    firmwareMode_ = true;
    const std::vector<uint8_t> start = BuildFirmwareStart();
    // Unsent for want of an output port, the start goes unanswered: the time-out reports it.
    if (!editor_.SendSysEx({0, static_cast<int32_t>(start.size()), start.data()})) {
        DebugPrint("firmware update start not sent: no output port");
    }
    transfers_.RestartTimeout();
    transfers_.SetWaitingForUnit(true);
    silentTicks_ = 0;
}

void FirmwareUpdate::OnFirmwareReply(uint8_t code) {
    if (!firmwareMode_) return;
    // Every answer of the update shows the unit at work: a "ready" without the erase report
    // must not leave the time-out running while the image goes out.
    transfers_.SetWaitingForUnit(false);
    transfers_.RestartTimeout();
    silentTicks_ = 0;
    switch (code) {
        case kReplyErasing:
            ShowStatus("Erasing FLASH memory...");
            break;
        case kReplyReadyForData:
            ShowStatus("Loading Update...");
            SendFirmwareData();
            break;
        case kReplyUpdateSuccessful:
            ShowStatus("Update successful!");
            firmwareMode_ = false;
            break;
        case kReplyUpdateFailed:
            ShowStatus("Error in update!");
            editor_.RedrawParamControls();
            SendFirmwareData();
            firmwareMode_ = false;
            errorReported_ = true;
            break;
        default:
            break;
    }
}

void FirmwareUpdate::Tick() {
    if (errorReported_) {
        errorReported_ = false;
        editor_.Reports().Post(ReportKind::kError, kErrorBox);
        ShowStatus(kErrorStatus);
    }
    // Before the first answer the transfers' time-out watches the unit; after it, this does.
    if (!firmwareMode_ || transfers_.WaitingForUnit()) return;
    if (ImageGoing()) {
        silentTicks_ = 0;
        return;
    }
    if (++silentTicks_ >= kSilentTicks) BreakOff(kSilentBox, kErrorStatus);
}

void FirmwareUpdate::UnitConnectionLost() {
    if (firmwareMode_) BreakOff(kPortGoneBox, kBrokenOffStatus);
}

void FirmwareUpdate::BreakOff(const std::string& box, const std::string& status) {
    DebugPrint("firmware update ended: %s", status.c_str());
    firmwareMode_ = false;
    silentTicks_ = 0;
    transfers_.SetWaitingForUnit(false);
    editor_.Reports().Post(ReportKind::kError, box);
    ShowStatus(status);
}

bool FirmwareUpdate::ImageGoing() {
    std::lock_guard<std::mutex> hold(sendLock_);
    return sending_ || !sendQueue_.empty();
}

void FirmwareUpdate::GuiIdle() {
    const size_t total = total_.load();
    if (!firmwareMode_) {
        ShowProgress("");
    } else if (total == 0) {
        ShowProgress(estimate_);
    } else {
        ShowProgress(ProgressText(handed_.load(), total, editor_.OutputBytesPerSecond()));
    }
}

bool FirmwareUpdate::Cancel() {
    if (!firmwareMode_ || !ImageGoing()) return false;
    DebugPrint("firmware update stopped after %zu of %zu bytes", handed_.load(), total_.load());
    breakOff_ = true;
    firmwareMode_ = false;
    silentTicks_ = 0;
    transfers_.SetWaitingForUnit(false);
    ShowProgress("");
    ShowStatus(kStoppedStatus);
    return true;
}

void FirmwareUpdate::SendFirmwareData() {
    std::lock_guard<std::mutex> hold(sendLock_);
    sendQueue_.push_back(dataMessage_);
    if (!sendingThread_.joinable()) sendingThread_ = std::thread([this] { SendingLoop(); });
    sendWake_.notify_one();
}

void FirmwareUpdate::SendingLoop() {
    std::unique_lock<std::mutex> hold(sendLock_);
    for (;;) {
        sendWake_.wait(hold, [this] { return stopping_ || !sendQueue_.empty(); });
        if (stopping_) return;
        const std::shared_ptr<const std::vector<uint8_t>> message = sendQueue_.front();
        sendQueue_.erase(sendQueue_.begin());
        sending_ = true;
        hold.unlock();
        handed_ = 0;
        total_ = message->size();
        const bool sent =
            editor_.SendLongSysEx({0, static_cast<int32_t>(message->size()), message->data()},
                                  [this](size_t handed, size_t total) {
                                      handed_ = handed;
                                      total_ = total;
                                      return !breakOff_.load();
                                  });
        // Unsent, the image goes unanswered: the time-out reports it.
        if (!sent) DebugPrint("firmware image not sent: no output port");
        hold.lock();
        sending_ = false;
        sendDone_.notify_all();
    }
}

void FirmwareUpdate::WaitUntilSent() {
    std::unique_lock<std::mutex> hold(sendLock_);
    sendDone_.wait(hold, [this] { return !sending_ && sendQueue_.empty(); });
}
