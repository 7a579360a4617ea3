// The firmware update against the virtual unit: the editor's messages reach the unit's decoder,
// and the unit's answers come back as the MIDI input would deliver them.
#include "library/FirmwareUpdate.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>

#include "gui/PanelKeys.h"
#include "library/Librarian.h"
#include "midi/OutputPacer.h"
#include "support/CaptureOutputPort.h"
#include "support/FakeEditorPanel.h"
#include "support/HeadlessEditor.h"
#include "support/LibrarianFixture.h"
#include "support/TempDir.h"
#include "support/UnitCable.h"
#include "unit/FirmwareMessages.h"
#include "unit/UnitMessages.h"
#include "unit/VirtualOrvo.h"

namespace {

using Bytes = std::vector<uint8_t>;

class FirmwareUpdateTest : public LibrarianFixture<UnitCable> {
protected:
    void SetUp() override {
        LibrarianFixture::SetUp();
        firmware_ = &librarian_->Firmware();
        unit_.SetEraseDelayMs(2000);
    }

    // An image whose tail (80000 mod 7 = 4 bytes) the data message carries whole.
    static Bytes Image(size_t size, uint8_t seed) {
        Bytes image(size);
        for (size_t i = 0; i < size; ++i)
            image[i] = static_cast<uint8_t>(i * 13 + seed);
        for (size_t i = size - size % 7; i < size; ++i)
            image[i] = 0;
        return image;
    }
    std::string WriteImage(const Bytes& image, const std::string& name = "update.ldr") {
        const std::string path = dir_.File(name);
        TempDir::Write(path, std::string(image.begin(), image.end()));
        return path;
    }
    void Choose(const std::string& path) {
        panel_->choosers[kParamFirmwareFile] = path;
        chooserValue_ = chooserValue_ > 0.5 ? 0.0 : 1.0;
        editor_.SetParameterValue(kParamFirmwareFile, chooserValue_);
    }
    void Tick() { editor_.DoCommand(kCommandTick); }
    // The message boxes shown so far; what the change handler decided is shown by the next
    // command or idle tick, as here.
    const std::vector<FakePanel::Shown>& Boxes() {
        editor_.ShowReports();
        return panel_->reports;
    }
    // The panel's idle hook, as its timer calls it.
    void GuiIdle() { static_cast<PluginBase&>(editor_).GuiIdle(); }
    void Deliver(int64_t nowMs) { port_.Deliver(editor_, nowMs); }
    // The data goes out on its own thread; the unit's answer to it is delivered afterwards.
    void DeliverAfterTheData(int64_t nowMs) {
        firmware_->WaitUntilSent();
        Deliver(nowMs);
    }

    TempDir dir_;
    VirtualOrvo& unit_ = port_.unit;
    FirmwareUpdate* firmware_ = nullptr;
    double chooserValue_ = 0.0;
};

TEST_F(FirmwareUpdateTest, TheCheckedImageArrivesWholeEvenWhenTheFileChangesMeanwhile) {
    const Bytes image = Image(80000, 5);
    const std::string path = WriteImage(image);
    Choose(path);
    EXPECT_EQ(panel_->status, "Connecting to Orvo...");
    ASSERT_EQ(port_.Sent().size(), 1u);
    EXPECT_EQ(port_.Sent()[0], (Bytes{0xF0, 0x00, 0x21, 0x11, 0x02, 0x10, 0xF7}));

    Deliver(0);
    EXPECT_EQ(panel_->status, "Erasing FLASH memory...");
    // The file is replaced while the unit erases; the unit still gets what was checked.
    WriteImage(Image(700, 99));
    Deliver(2000);
    EXPECT_EQ(panel_->status, "Loading Update...");
    DeliverAfterTheData(2001);
    EXPECT_EQ(panel_->status, "Update successful!");
    EXPECT_FALSE(firmware_->FirmwareMode());
    EXPECT_TRUE(unit_.FirmwareImage() == image) << unit_.FirmwareImage().size() << " bytes";
    ASSERT_EQ(port_.SentWithCode(kCodeFirmwareData), 1);
    EXPECT_EQ(port_.Sent().back().size(), 91441u);
    EXPECT_EQ(firmware_->BytesHandedOn(), 91441u);
    for (int i = 0; i < 5; ++i)
        Tick();
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(FirmwareUpdateTest, ProgressFollowsTheBytesHandedOnAndGoesWithTheUpdate) {
    Choose(WriteImage(Image(80000, 1)));
    Deliver(2000);
    firmware_->WaitUntilSent();
    GuiIdle();
    EXPECT_EQ(panel_->progress, "Update sent: 100 % (91441 of 91441 bytes)");
    // The status line keeps the update's own text.
    EXPECT_EQ(panel_->status, "Loading Update...");
    Deliver(2001);
    GuiIdle();
    EXPECT_EQ(panel_->progress, "");
}

TEST_F(FirmwareUpdateTest, AnEmptyOrTooLargeImageIsRefused) {
    for (const Bytes& image : {Bytes{}, Bytes(80001, 0x11)}) {
        SCOPED_TRACE(image.size());
        panel_->reports.clear();
        panel_->status.clear();
        Choose(WriteImage(image));
        EXPECT_TRUE(port_.Sent().empty()) << "the unit was contacted";
        ASSERT_EQ(Boxes().size(), 1u);
        EXPECT_EQ(Boxes()[0].kind, ReportKind::kError);
        EXPECT_EQ(Boxes()[0].text, "This is not a valid firmware file!");
        EXPECT_EQ(panel_->status, "Not a valid firmware file!");
        EXPECT_FALSE(firmware_->FirmwareMode());
    }
    EXPECT_EQ(unit_.Firmware(), VirtualOrvo::FirmwareState::kIdle) << "nothing was erased";
    // An image with a small tail goes without a question.
    Choose(WriteImage(Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x7F}));
    EXPECT_EQ(port_.SentWithCode(kCodeFirmwareStart), 1);
}

TEST_F(FirmwareUpdateTest, AnImageWhoseTailCannotTravelExactlyGoesOnlyWhenTheUserSaysOk) {
    const Bytes image(8, 0xFF);
    const char* const question =
        "The last 1 bytes of the image (FF) cannot be sent exactly: the Orvo will receive 7F in "
        "their place.\n\nSend it to the Orvo anyway?";
    panel_->warningAnswer = false;
    Choose(WriteImage(image));
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].kind, ReportKind::kWarning);
    EXPECT_EQ(Boxes()[0].text, question);
    EXPECT_TRUE(port_.Sent().empty()) << "Cancel leaves the unit alone";
    EXPECT_FALSE(firmware_->FirmwareMode());

    panel_->reports.clear();
    panel_->warningAnswer = true;
    Choose(WriteImage(image, "again.ldr"));
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(port_.SentWithCode(kCodeFirmwareStart), 1);
    EXPECT_TRUE(firmware_->FirmwareMode());
    EXPECT_EQ(firmware_->DataMessage(), *BuildFirmwareData(image.data(), image.size()));
}

TEST_F(FirmwareUpdateTest, ThePortGoingAwayDuringTheEraseEndsTheUpdateAtOnce) {
    unit_.SetEraseDelayMs(60000);
    Choose(WriteImage(Image(7000, 1)));
    Deliver(0);
    Tick();
    ASSERT_EQ(panel_->status, "Erasing FLASH memory...");
    editor_.UnitConnectionLost();
    EXPECT_FALSE(firmware_->FirmwareMode());
    EXPECT_EQ(panel_->status, "Update not finished!");
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text,
              "The Orvo's MIDI port went away during the firmware update.\n"
              "The update did not finish: connect the Orvo again and repeat the update.");
    // The unit that comes back later continues nothing.
    Deliver(60000);
    EXPECT_EQ(port_.SentWithCode(kCodeFirmwareData), 0);
    EXPECT_EQ(panel_->status, "Update not finished!");
    // Without an update running, a port that goes says nothing here.
    editor_.UnitConnectionLost();
    EXPECT_EQ(Boxes().size(), 1u);
}

TEST_F(FirmwareUpdateTest, AUnitSilentForAMinuteAfterItsLastAnswerEndsTheUpdate) {
    unit_.SetEraseDelayMs(3600 * 1000);
    Choose(WriteImage(Image(700, 1)));
    Deliver(0);
    for (int second = 1; second < FirmwareUpdate::kSilentTicks; ++second)
        Tick();
    EXPECT_TRUE(Boxes().empty()) << "a long erase is no failure";
    EXPECT_TRUE(firmware_->FirmwareMode());
    Tick();
    EXPECT_FALSE(firmware_->FirmwareMode());
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text,
              "The Orvo stopped answering during the firmware update.\n"
              "The update did not finish: switch the Orvo off and on and repeat the update.");
    EXPECT_EQ(panel_->status, "Communication error!");
}

TEST_F(FirmwareUpdateTest, AnEraseLongerThanTheTimeOutStillSucceeds) {
    unit_.SetEraseDelayMs(5000);
    const Bytes image = Image(80000, 7);
    Choose(WriteImage(image));
    Deliver(0);
    for (int second = 1; second <= 5; ++second)
        Tick();
    EXPECT_TRUE(Boxes().empty());
    EXPECT_TRUE(firmware_->FirmwareMode());
    Deliver(5000);
    DeliverAfterTheData(5001);
    EXPECT_EQ(panel_->status, "Update successful!");
    EXPECT_TRUE(unit_.FirmwareImage() == image);
}

TEST_F(FirmwareUpdateTest, ReadyWithoutTheEraseReportStopsTheTimeOutToo) {
    Choose(WriteImage(Image(700, 3)));
    const Bytes ready = {0xF0, 0x00, 0x21, 0x11, 0x02, kReplyReadyForData, 0xF7};
    editor_.HandleSysEx({0, static_cast<int32_t>(ready.size()), ready.data()});
    firmware_->WaitUntilSent();
    for (int i = 0; i < 4; ++i)
        Tick();
    EXPECT_TRUE(Boxes().empty());
    const Bytes success = {0xF0, 0x00, 0x21, 0x11, 0x02, kReplyUpdateSuccessful, 0xF7};
    editor_.HandleSysEx({0, static_cast<int32_t>(success.size()), success.data()});
    EXPECT_EQ(panel_->status, "Update successful!");
}

TEST_F(FirmwareUpdateTest, AUnitThatDoesNotAnswerIsReportedAfterThreeWholeSeconds) {
    Choose(WriteImage(Image(70, 3)));
    // The tick within the second of the start does not count, then three more.
    for (int i = 0; i < 3; ++i)
        Tick();
    EXPECT_TRUE(Boxes().empty());
    Tick();
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].kind, ReportKind::kError);
    EXPECT_EQ(Boxes()[0].text, "Orvo not present or a communication\nerror has occurred!");
    EXPECT_EQ(panel_->status, "Communication error!");
    EXPECT_FALSE(firmware_->FirmwareMode());
    // A late answer finds no update to continue.
    Deliver(3000);
    EXPECT_EQ(panel_->status, "Communication error!");
    EXPECT_EQ(port_.SentWithCode(kCodeFirmwareData), 0);
}

TEST_F(FirmwareUpdateTest, AFailedUpdateSendsTheDataAgainAndReportsOnTheNextTick) {
    SimFaults faults;
    faults.failFirmware = true;
    unit_.SetFaults(faults);
    Choose(WriteImage(Image(700, 3)));
    Deliver(2000);
    DeliverAfterTheData(2001);
    EXPECT_EQ(panel_->status, "Error in update!");
    EXPECT_FALSE(firmware_->FirmwareMode());
    firmware_->WaitUntilSent();
    EXPECT_EQ(port_.SentWithCode(kCodeFirmwareData), 2);
    EXPECT_TRUE(Boxes().empty());
    Tick();
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, "Communication error has occurred!");
    EXPECT_EQ(panel_->status, "Communication error!");
    // The unit's answer to the second sending is not acted on.
    Deliver(2002);
    Tick();
    EXPECT_EQ(Boxes().size(), 1u);
}

}  // namespace

namespace {

// An output port that hands a long message on in quarters and holds after the first one until
// the test lets it go on, as a slow cable would.
class SlowPort : public MidiOutputPort {
public:
    void SendMessage(const uint8_t* bytes, size_t size) override {
        (void)bytes;
        (void)size;
        ++shortMessages;
    }
    void SendLongMessage(const uint8_t* bytes, size_t size, const SendProgress& progress) override {
        (void)bytes;
        progress(size / 4, size);
        std::unique_lock<std::mutex> hold(lock_);
        held_ = true;
        wake_.notify_all();
        wake_.wait(hold, [this] { return released_; });
        hold.unlock();
        brokenOff = !progress(size, size);
    }
    uint32_t BytesPerSecond() const override { return pace; }
    void WaitUntilHeld() {
        std::unique_lock<std::mutex> hold(lock_);
        wake_.wait(hold, [this] { return held_; });
    }
    void Release() {
        std::lock_guard<std::mutex> hold(lock_);
        released_ = true;
        wake_.notify_all();
    }
    std::atomic<int> shortMessages{0};
    uint32_t pace = 0;
    std::atomic<bool> brokenOff{false};

private:
    std::mutex lock_;
    std::condition_variable wake_;
    bool held_ = false;
    bool released_ = false;
};

// The editor with a slow port, updating with an image of 7000 bytes (8013 on the wire).
struct SlowUpdate {
    explicit SlowUpdate(uint32_t pace) {
        port.pace = pace;
        const std::string path = dir.File("update.ldr");
        TempDir::Write(path, std::string(7000, 'x'));
        rig.panel->choosers[kParamFirmwareFile] = path;
        rig.editor.SetParameterValue(kParamFirmwareFile, 1.0);
    }
    // The unit is ready: the image goes, and the port holds after its first quarter.
    void SendUntilHeld() {
        const Bytes ready = {0xF0, 0x00, 0x21, 0x11, 0x02, kReplyReadyForData, 0xF7};
        rig.editor.HandleSysEx({0, static_cast<int32_t>(ready.size()), ready.data()});
        port.WaitUntilHeld();
    }

    TempDir dir;
    SlowPort port;
    EditorWithLibrarian rig{port};
    OrvoEditor& editor = rig.editor;
    FakePanel* shown = rig.panel;
};

TEST(FirmwareProgress, ThePanelStaysUsableAndShowsHowFarTheImageHasGot) {
    SlowUpdate update(0);
    OrvoEditor& editor = update.editor;
    FakePanel* shown = update.shown;
    SlowPort& port = update.port;
    EditorWithLibrarian& rig = update.rig;
    update.SendUntilHeld();

    // While the image is on its way the GUI thread gets the plug-in lock: the tick, the idle
    // hook and a knob all go through at once. The knob's change waits for no cable.
    editor.DoCommand(kCommandTick);
    static_cast<PluginBase&>(editor).GuiIdle();
    EXPECT_EQ(shown->progress, "Update sent: 24 % (2003 of 8013 bytes)");
    EXPECT_EQ(shown->status, "Loading Update...");
    const int sentBefore = port.shortMessages;
    editor.SetParameterValue(14, 50);
    EXPECT_EQ(port.shortMessages, sentBefore) << "nothing goes between the pieces of the image";

    port.Release();
    rig.librarian->Firmware().WaitUntilSent();
    static_cast<PluginBase&>(editor).GuiIdle();
    EXPECT_EQ(shown->progress, "Update sent: 100 % (8013 of 8013 bytes)");
}

TEST(FirmwareProgress, TheTimeLeftAtThePaceShowsAndStopTransferBreaksTheImageOff) {
    SlowUpdate update(kDefaultBytesPerSecond);
    OrvoEditor& editor = update.editor;
    FakePanel* shown = update.shown;
    SlowPort& port = update.port;
    EditorWithLibrarian& rig = update.rig;
    static_cast<PluginBase&>(editor).GuiIdle();
    EXPECT_EQ(shown->progress, "The update of 8013 bytes takes about 3 s to send.");
    EXPECT_FALSE(editor.CommandEnabled(kCommandStopTransfer)) << "nothing to stop while erasing";

    update.SendUntilHeld();
    static_cast<PluginBase&>(editor).GuiIdle();
    EXPECT_EQ(shown->progress, "Update sent: 24 % (2003 of 8013 bytes, about 3 s left)");
    EXPECT_TRUE(editor.CommandEnabled(kCommandStopTransfer));

    editor.DoCommand(kCommandStopTransfer);
    EXPECT_EQ(shown->status, "Update stopped: repeat it to finish!");
    EXPECT_FALSE(rig.librarian->Firmware().FirmwareMode());
    port.Release();
    rig.librarian->Firmware().WaitUntilSent();
    EXPECT_TRUE(port.brokenOff) << "the port was told to break the image off";
    static_cast<PluginBase&>(editor).GuiIdle();
    EXPECT_EQ(shown->progress, "");
    // The unit's verdict on the broken image changes nothing.
    const Bytes failed = {0xF0, 0x00, 0x21, 0x11, 0x02, kReplyUpdateFailed, 0xF7};
    editor.HandleSysEx({0, static_cast<int32_t>(failed.size()), failed.data()});
    EXPECT_EQ(shown->status, "Update stopped: repeat it to finish!");
    EXPECT_FALSE(editor.CommandEnabled(kCommandStopTransfer));
}

TEST(FirmwareMenu, TheMenuCommandOpensTheLdrChooserAndRefusalsShowAsErrorBoxes) {
    TempDir dir;
    CaptureOutputPort port;
    uint16_t channel = 1;
    HeadlessEditor made(&port, &channel);
    ASSERT_NE(made.graphics, nullptr);
    port.Clear();

    const std::string tooLarge = dir.File("big.ldr");
    TempDir::Write(tooLarge, std::string(80001, 'x'));
    made.graphics->AnswerFileChooserWith(tooLarge);
    made.editor->DoCommand(kCommandFirmwareUpdate);
    EXPECT_EQ(made.graphics->FileChooserCount(), 1);
    ASSERT_EQ(made.graphics->Messages().size(), 1u);
    EXPECT_EQ(made.graphics->Messages()[0].text, "This is not a valid firmware file!");
    EXPECT_EQ(made.graphics->Messages()[0].caption, "Error");
    EXPECT_EQ(made.graphics->Messages()[0].type, kMessageError);
    EXPECT_EQ(made.editor->Panel()->StatusLine(), "Not a valid firmware file!");
    EXPECT_TRUE(port.Messages().empty());

    const std::string good = dir.File("good.ldr");
    TempDir::Write(good, std::string(70, 'x'));
    made.graphics->AnswerFileChooserWith(good);
    made.editor->DoCommand(kCommandFirmwareUpdate);
    ASSERT_EQ(port.Messages().size(), 1u);
    EXPECT_EQ(port.Messages()[0], (Bytes{0xF0, 0x00, 0x21, 0x11, 0x02, 0x10, 0xF7}));
    EXPECT_EQ(made.editor->Panel()->StatusLine(), "Connecting to Orvo...");
    EXPECT_EQ(made.graphics->Messages().size(), 1u);
}

}  // namespace
