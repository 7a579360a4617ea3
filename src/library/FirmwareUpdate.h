#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class OrvoEditor;
class ProgramTransfers;

// The editor's side of a firmware update: the image is read and checked once when the user
// picks the file, the unit is asked to prepare, and the data message built from that image goes
// out when the unit is ready for it. The editor calls everything but the sending thread under
// the plug-in lock; the message boxes go to the editor's reports. The wait for the unit's first
// answer is the transfers' shared wait, so its time-out is the tick's. The image goes out on a
// thread of its own, so neither the panel nor the MIDI input waits the half minute a DIN cable
// needs for it; GuiIdle shows how far it has got.
class FirmwareUpdate {
public:
    // Erasing and loading may take long, but a unit silent for a minute (no answer since its
    // last one, and nothing going out to it) has died or gone: the update ends with a report.
    static constexpr int kSilentTicks = 60;

    FirmwareUpdate(OrvoEditor& editor, ProgramTransfers& transfers);
    // Breaks off an image still on its way: the program is going, and the unit reports the
    // broken update on its own.
    ~FirmwareUpdate();
    FirmwareUpdate(const FirmwareUpdate&) = delete;
    FirmwareUpdate& operator=(const FirmwareUpdate&) = delete;

    // The firmware chooser picked path: read and check the image, then ask the unit to prepare.
    void StartFirmwareUpdate(const std::string& path);
    // A 7-byte reply of the unit; byte 5 is code. Acted on only while an update runs.
    void OnFirmwareReply(uint8_t code);
    // The once-a-second tick, after the transfers' steps: the report of a failed update, and
    // the end of an update whose unit has been silent for kSilentTicks.
    void Tick();
    // The unit's port went away: a running update ends at once, and says so.
    void UnitConnectionLost();
    // On the GUI thread: the progress line follows the bytes handed to the port, with the time
    // left at the output's pace.
    void GuiIdle();
    // Whether an image is on its way, which Stop Transfer may break off.
    bool ImageGoing();
    // Stop Transfer: the image on its way is broken off before its last piece (the unit gets
    // an end to it), and the update ends with a status text. False when none was going.
    bool Cancel();

    bool FirmwareMode() const { return firmwareMode_; }
    // The data message built from the image picked last.
    const std::vector<uint8_t>& DataMessage() const { return *dataMessage_; }
    // Bytes of the data message handed to the port so far, and its size.
    size_t BytesHandedOn() const { return handed_.load(); }
    // Blocks until every data message asked for so far has been handed on; for tests.
    void WaitUntilSent();

private:
    // Asks the unit to prepare for the data message built from the image.
    void BeginUpdate(std::vector<uint8_t> message);
    // Queues the data message for the sending thread; it goes out exactly as built at the start.
    void SendFirmwareData();
    void SendingLoop();
    void RefuseImage(const std::string& why);
    // Ends a running update with an error box and a status text.
    void BreakOff(const std::string& box, const std::string& status);
    void ShowStatus(const std::string& text);
    void ShowProgress(const std::string& text);

    OrvoEditor& editor_;
    ProgramTransfers& transfers_;
    bool firmwareMode_ = false;
    bool errorReported_ = false;
    int silentTicks_ = 0;
    std::shared_ptr<const std::vector<uint8_t>> dataMessage_;
    std::string shownProgress_;
    // Before the image goes: how long it will take at the output's pace.
    std::string estimate_;

    // Shared with the sending thread.
    std::mutex sendLock_;
    std::condition_variable sendWake_;
    std::condition_variable sendDone_;
    std::vector<std::shared_ptr<const std::vector<uint8_t>>> sendQueue_;
    bool sending_ = false;
    bool stopping_ = false;
    std::atomic<bool> breakOff_{false};
    std::atomic<size_t> handed_{0};
    std::atomic<size_t> total_{0};
    std::thread sendingThread_;
};
