#include <gtest/gtest.h>

#include <cstdio>

#include "TestCore.h"
#include "gui/GuiResizeHooks.h"
#include "gui/KeyboardControl.h"

namespace {

constexpr std::array<int, 12> kKeyLeft{0, 9, 14, 25, 28, 42, 51, 56, 66, 70, 81, 84};
constexpr int kX = KeyboardControl::kPanelX;
constexpr int kY = KeyboardControl::kPanelY;

class Keyboard : public ::testing::Test {
protected:
    void SetUp() override {
        graphics = &core.AttachHeadless();
        graphics->AddBackgroundPanel({255, 0, 0, 0});
        // An octave is 98 x 70 at 100 %; key frame k is coloured 0x100 + k + 1.
        auto keys = std::make_unique<raster::MemBitmap>(98, 70 * 12);
        for (int y = 0; y < keys->Height(); ++y) {
            for (int x = 0; x < 98; ++x)
                keys->Row(y)[x] = 0xFF000100u + static_cast<uint32_t>(y / 70 + 1);
        }
        graphics->AddImage(920, std::move(keys));
        graphics->AddImage(921, MakeFrameStrip(98, 70, 1));
        keyboard = std::make_unique<KeyboardControl>(
            &core, graphics->LoadImageStrip(920, "keys.png", 12),
            graphics->LoadImageStrip(921, "bgkb.png", 1), kKeyLeft);
        graphics->AddControl(keyboard.get());
    }
    void TearDown() override { Graphics::ReleaseCaches(); }

    std::string Sent() const {
        std::string text;
        for (const MidiMessage& m : core.sent) {
            char bytes[16];
            std::snprintf(bytes, sizeof bytes, "%02X %02X %02X;", m.status, m.data1, m.data2);
            text += bytes;
        }
        return text;
    }

    RecordingCore core;
    HeadlessGraphics* graphics = nullptr;
    std::unique_ptr<KeyboardControl> keyboard;
    MouseKeys left{true, false, false, false, false};
};

TEST_F(Keyboard, KeysAndVelocitiesFollowTheGeometry) {
    EXPECT_EQ(keyboard->DrawRect(), (Rect{kX, kY, kX + 5 * 98, kY + 70}));
    double fraction = 0;
    EXPECT_EQ(keyboard->KeyAt(kX + 5, kY + 35, &fraction), 0);  // C, white
    EXPECT_DOUBLE_EQ(fraction, 0.5);
    EXPECT_EQ(keyboard->KeyAt(kX + 10, kY + 21, &fraction), 1);  // C sharp, black
    EXPECT_DOUBLE_EQ(fraction, 0.5);
    EXPECT_EQ(keyboard->KeyAt(kX + 10, kY + 50, nullptr), 0);           // below the black key
    EXPECT_EQ(keyboard->KeyAt(kX + 3 * 14 + 1, kY + 60, nullptr), 5);   // fourth white: F
    EXPECT_EQ(keyboard->KeyAt(kX + 6 * 14 + 1, kY + 60, nullptr), 11);  // last white: B
    EXPECT_EQ(keyboard->KeyAt(kX + 2 * 98 + 52, kY + 10, nullptr), 24 + 6);
    EXPECT_EQ(keyboard->KeyAt(kX + 5 * 98 - 1, kY + 69, nullptr), 59);
    EXPECT_EQ(keyboard->KeyAt(kX - 1, kY + 10, nullptr), -1);
    EXPECT_EQ(keyboard->KeyAt(kX + 5, kY + 70, nullptr), -1);

    // At twice the size the black keys are twice as wide and tall.
    struct TwiceTheSize : GuiResizeHooks {
        double Scale() const override { return 2.0; }
        bool ResizeDragInProgress() const override { return false; }
        void DrawDuringResize(Graphics&, const Rect&) override {}
    } zoom;
    graphics->SetGuiResize(&zoom);
    EXPECT_EQ(keyboard->KeyAt(kX + 55, kY + 60, nullptr), 3);  // 25 * 2 .. 70, 84 high
    graphics->SetGuiResize(nullptr);
}

TEST_F(Keyboard, DraggingPlaysEachKeyAndReleasesThePrevious) {
    keyboard->OnPress(kX + 5, kY, left);               // top edge: velocity 1
    keyboard->OnDrag(kX + 5, kY + 1, 0, 1, left);      // same key: nothing
    keyboard->OnDrag(kX + 20, kY + 69, 15, 68, left);  // D near the bottom
    keyboard->OnRelease(kX + 20, kY + 69, {});
    // 69 / 70 * 126 = 124.2 -> 124, + 1.
    EXPECT_EQ(Sent(), "90 18 01;80 18 00;90 1A 7D;80 1A 00;");
    EXPECT_EQ(keyboard->HeldKey(), -1);
    EXPECT_EQ(keyboard->LastKey(), -1);
}

TEST_F(Keyboard, RightButtonIsIgnoredAndReleaseOutsideEndsTheLastKey) {
    keyboard->OnPress(kX + 5, kY + 35, {false, true, false, false, false});
    EXPECT_TRUE(core.sent.empty());
    keyboard->OnPress(kX + 5, kY + 35, left);
    keyboard->OnRelease(0, 0, {});
    EXPECT_EQ(Sent(), "90 18 40;80 18 00;");
}

TEST_F(Keyboard, NoteHeldOnTheKeyboardInputIsPlayedButNotHeldHere) {
    core.held[24] = true;
    keyboard->OnPress(kX + 5, kY + 35, left);
    EXPECT_EQ(Sent(), "90 18 40;");
    EXPECT_EQ(keyboard->HeldKey(), -1);
    keyboard->OnRelease(kX + 5, kY + 35, {});
    EXPECT_EQ(core.sent.size(), 1u);  // nothing held here, nothing to release
}

TEST_F(Keyboard, DrawsTheHeldKeyAndTheKeysHeldOnTheInput) {
    graphics->Tick();
    EXPECT_EQ(PixelAt(*graphics, kX + 2 * 98 + 5, kY + 5), 0xFF000001u);  // resting octave
    keyboard->OnPress(kX + 98 + 14 + 1, kY + 60, left);  // key 14: D of the second octave
    core.held[24 + 3 * 12 + 9] = true;                   // A of the fourth octave, from the input
    graphics->Tick();
    EXPECT_EQ(PixelAt(*graphics, kX + 98 + 5, kY + 5), 0xFF000100u + 3);
    EXPECT_EQ(PixelAt(*graphics, kX + 3 * 98 + 5, kY + 5), 0xFF000100u + 10);
    EXPECT_EQ(PixelAt(*graphics, kX + 5, kY + 5), 0xFF000001u);
}

}  // namespace
