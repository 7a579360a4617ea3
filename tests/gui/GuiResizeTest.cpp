#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "gui/BitmapControl.h"
#include "gui/GuiLayoutStore.h"
#include "gui/GuiResize.h"
#include "gui/GuiScaleSetting.h"
#include "gui/HeadlessGraphics.h"
#include "gui/HorizontalResizing.h"
#include "gui/TestCore.h"
#include "gui/VerticalResizing.h"
#include "resources/ResourceTable.h"
#include "support/TempDir.h"

namespace {

class ViewCore : public RecordingCore {
public:
    struct View {
        int mode, width, height;
    };
    void ViewChanged(int viewMode, int width, int height) override {
        views.push_back({viewMode, width, height});
    }
    std::vector<View> views;
};

// A control that only has a place.
class PlacedControl : public Control {
public:
    PlacedControl(PluginBase* core, const Rect& rect) : Control(core, rect, -1) {}
    bool Draw(Graphics& graphics) override {
        (void)graphics;
        return true;
    }
    void ApplyScale(double factor) override { scales.push_back(factor); }
    std::vector<double> scales;
};

MouseKeys Left() {
    MouseKeys keys;
    keys.L = true;
    return keys;
}

constexpr int kStripId = 900;

class GuiResizeTest : public ::testing::Test {
protected:
    GuiResizeTest() { GuiLayoutStore::Process().Clear(); }
    ~GuiResizeTest() override { Graphics::ReleaseCaches(); }

    // The editor's set-up: the resize control first, then the panel, then the attach. A
    // stored scale text, when given, is in the settings file beforehand.
    void Build(const char* storedScale = nullptr, bool edgeHandles = false) {
        if (storedScale != nullptr) {
            TempDir::Write(SettingsFile(), std::string("[gui]\nguiscale=") + storedScale + "\n");
        }
        graphics_ = new HeadlessGraphics(&core_);
        for (const int factor : {1, resources::kLargeImageFactor}) {
            auto artwork = std::make_unique<raster::MemBitmap>(20 * factor, 10 * factor);
            for (int y = 0; y < 10 * factor; ++y)
                std::fill_n(artwork->Row(y), 20 * factor, 0xFFC08040u);
            graphics_->AddImage(kStripId, std::move(artwork), factor);
        }
        resize_ = std::make_unique<GuiResize>(&core_, graphics_, SettingsFile());
        resize_->SetScaleLimits(50, 200);
        resize_->SetBaseSizeLimits(512, 400, 2048, 1600);
        resize_->SetEdgeHandles(edgeHandles, 6);
        graphics_->AddBackgroundPanel({255, 10, 20, 30});
        strip_ = graphics_->LoadImageStrip(kStripId, "strip.png", 1);
        graphics_->AddControl(&knob_);
        picture_ = std::make_unique<BitmapControl>(&core_, 100, 50, -1, strip_);
        graphics_->AddControl(picture_.get());
        graphics_->AddControl(&hiddenOne_);
        hiddenOne_.Hide(true);
        core_.SetGuiResize(resize_.get());
        graphics_->PrepareDrawing();
        core_.AttachGraphics(graphics_);
    }

    std::string SettingsFile() const { return dir_.File("settings.ini"); }
    std::string StoredText() const { return TempDir::Read(SettingsFile()); }
    int Renders() const { return GuiLayoutStore::Process().RenderCount(); }
    uint32_t Pixel(int x, int y) { return graphics_->DrawBitmap()->Row(y)[x] & 0xFFFFFF; }

    TempDir dir_;
    ViewCore core_;
    PlacedControl knob_{&core_, {100, 50, 140, 70}};
    PlacedControl hiddenOne_{&core_, {300, 300, 320, 320}};
    HeadlessGraphics* graphics_ = nullptr;  // owned by the core once attached
    std::unique_ptr<GuiResize> resize_;
    ImageStrip* strip_ = nullptr;
    std::unique_ptr<BitmapControl> picture_;
};

}  // namespace

TEST_F(GuiResizeTest, AttachAddsTheHandlesAndItselfLastAndRendersTheImagesOnce) {
    Build();
    const int count = graphics_->GetNControls();
    ASSERT_EQ(count, 7);
    EXPECT_EQ(graphics_->GetControl(count - 3), static_cast<Control*>(resize_->VerticalHandle()));
    EXPECT_EQ(graphics_->GetControl(count - 2), static_cast<Control*>(resize_->HorizontalHandle()));
    EXPECT_EQ(graphics_->GetControl(count - 1), static_cast<Control*>(resize_.get()));
    EXPECT_TRUE(resize_->HorizontalHandle()->IsHidden());
    EXPECT_EQ(Renders(), 1);
    EXPECT_EQ(strip_->width, 20);
    EXPECT_EQ(knob_.scales, std::vector<double>{1.0});
    EXPECT_EQ(resize_->DrawRect(), (Rect{1008, 784, 1024, 800}));
}

TEST_F(GuiResizeTest, ZoomTo120PercentSizesThePanelAndStoresFifteenDecimals) {
    Build();
    ASSERT_TRUE(resize_->DoViewCommand(17));
    EXPECT_EQ(resize_->PanelWidth(), 1229);
    EXPECT_EQ(resize_->PanelHeight(), 960);
    EXPECT_EQ(graphics_->Width(), 1229);
    EXPECT_EQ(graphics_->Height(), 960);
    EXPECT_NE(StoredText().find("[gui]\nguiscale=1.200000000000000\n"), std::string::npos)
        << StoredText();
    EXPECT_EQ(strip_->width, 24);
    EXPECT_EQ(Renders(), 2);
    EXPECT_DOUBLE_EQ(graphics_->GuiScale(), 1.2);
    ASSERT_FALSE(core_.views.empty());
    EXPECT_EQ(core_.views.back().mode, 0);
    EXPECT_EQ(core_.views.back().width, 1024);
    EXPECT_EQ(core_.views.back().height, 800);
    // The grip stays square in the corner and grows with the zoom.
    EXPECT_EQ(resize_->DrawRect(), (Rect{1210, 941, 1229, 960}));
    EXPECT_FALSE(resize_->DoViewCommand(20));
    EXPECT_FALSE(resize_->DoViewCommand(9));
}

TEST_F(GuiResizeTest, ControlsArePlacedFromTheir100PercentRectangles) {
    Build();
    resize_->DoViewCommand(16);
    EXPECT_EQ(knob_.DrawRect(), (Rect{110, 55, 154, 77}));
    EXPECT_EQ(knob_.TargetRect(), (Rect{110, 55, 154, 77}));
    EXPECT_EQ(graphics_->GetControl(0)->DrawRect(), (Rect{0, 0, 1126, 880}));
    EXPECT_TRUE(hiddenOne_.IsHidden());
    // The picture placed at (100, 50) shows from (110, 55), its image rendered 10 % larger.
    EXPECT_EQ(picture_->DrawRect(), (Rect{110, 55, 132, 66}));
    graphics_->Tick();
    EXPECT_EQ(Pixel(110, 55), 0xC08040u);
    EXPECT_EQ(Pixel(125, 60), 0xC08040u);
    EXPECT_EQ(Pixel(109, 55), 0x0A141Eu);
    EXPECT_EQ(Pixel(132, 60), 0x0A141Eu);
    // Back at 100 % every rectangle is where it was designed, not drifted by the round trip.
    resize_->DoViewCommand(12);
    resize_->DoViewCommand(15);
    EXPECT_EQ(knob_.DrawRect(), (Rect{100, 50, 140, 70}));
    EXPECT_EQ(knob_.scales.back(), 1.0);
}

TEST_F(GuiResizeTest, ScaleStaysWithinItsLimits) {
    Build();
    resize_->SetScale(3.0);
    EXPECT_DOUBLE_EQ(resize_->Scale(), 2.0);
    resize_->SetScale(0.1);
    EXPECT_DOUBLE_EQ(resize_->Scale(), 0.5);
    resize_->SetScaleLimits(80, 120);
    EXPECT_DOUBLE_EQ(resize_->Scale(), 0.8);
    // With the wide default limits a scale still gives a panel a bitmap can hold.
    GuiResize unlimited(&core_, graphics_);
    unlimited.SetScale(1e9);
    EXPECT_EQ(unlimited.PanelWidth(), 8192);
    unlimited.SetScale(0.0);
    EXPECT_GT(unlimited.Scale(), 0.0);
    EXPECT_GT(unlimited.PanelWidth(), 0);
}

TEST_F(GuiResizeTest, GripDragShowsThePanelZoomedDefersTheImagesAndClampsAtHalf) {
    Build();
    ASSERT_TRUE(graphics_->Tick());
    graphics_->MouseDown(1015, 790, Left());
    EXPECT_TRUE(resize_->DragInProgress());
    graphics_->MouseDrag(900, 700, Left());
    EXPECT_NEAR(resize_->Scale(), 800.0 / 912.0, 1e-12);
    // Below (0.5 x 912) the scale holds at the lower limit.
    graphics_->MouseDrag(300, 300, Left());
    EXPECT_DOUBLE_EQ(resize_->Scale(), 0.5);
    EXPECT_EQ(graphics_->Width(), 512);
    EXPECT_EQ(graphics_->Height(), 400);
    EXPECT_EQ(Renders(), 1);
    // The panel as it was at the press, at half its size: the background's plain colour.
    ASSERT_TRUE(graphics_->Tick());
    EXPECT_EQ(Pixel(10, 10), 0x0A141Eu);
    EXPECT_EQ(Pixel(250, 190), 0x0A141Eu);
    graphics_->MouseUp(300, 300, Left());
    EXPECT_FALSE(resize_->DragInProgress());
    EXPECT_EQ(Renders(), 2);
    EXPECT_EQ(strip_->width, 10);
    EXPECT_EQ(knob_.DrawRect(), (Rect{50, 25, 70, 35}));
    EXPECT_EQ(resize_->DrawRect(), (Rect{496, 384, 512, 400}));
    EXPECT_NE(StoredText().find("guiscale=0.500000000000000"), std::string::npos);
    ASSERT_TRUE(graphics_->Tick());
    EXPECT_EQ(Pixel(10, 10), 0x0A141Eu);  // the background again
}

TEST_F(GuiResizeTest, GripIsWhiteAtTheCornerAndClearAlongItsLongEdge) {
    Build();
    graphics_->Tick();
    EXPECT_GT(Pixel(1022, 798) & 0xFF, 0xC0u);
    EXPECT_EQ(Pixel(1009, 785), 0x0A141Eu);
}

TEST_F(GuiResizeTest, MissingNegativeOrUnusableScaleReadsAsOneAndIsRewritten) {
    for (const char* stored : std::vector<const char*>{"-1.0", "abc", nullptr}) {
        GuiLayoutStore::Process().Clear();
        TempDir dir;
        const std::string settings = dir.File("settings.ini");
        ViewCore core;
        HeadlessGraphics graphics(&core);
        if (stored != nullptr) {
            TempDir::Write(settings, std::string("[gui]\nguiscale=") + stored + "\n");
        }
        GuiResize resize(&core, &graphics, settings);
        EXPECT_DOUBLE_EQ(resize.Scale(), 1.0);
        EXPECT_NE(TempDir::Read(settings).find("guiscale=1.000000000000000"), std::string::npos)
            << (stored ? stored : "no file");
    }
}

TEST_F(GuiResizeTest, OpeningAtAStoredScaleUsesTheRenderOfTheAttach) {
    Build("1.2");
    EXPECT_EQ(Renders(), 1);
    resize_->ApplyAtOpening();
    EXPECT_EQ(Renders(), 1);
    EXPECT_EQ(graphics_->Width(), 1229);
    EXPECT_EQ(knob_.DrawRect().L, 120);
    // A hand-written scale beyond the limits is taken as it is.
    TempDir::Write(SettingsFile(), "[gui]\nguiscale=2.5\n");
    resize_->ApplyAtOpening();
    EXPECT_EQ(graphics_->Width(), 2561);  // as wide as the background: trunc(1024.4999 x 2.5)
}

TEST_F(GuiResizeTest, ReopenedWindowIsNotRenderedASecondTime) {
    Build();
    resize_->ApplyAtOpening();
    resize_->DoViewCommand(17);
    ASSERT_EQ(Renders(), 2);
    graphics_->DestroyPanelWindow();
    graphics_->CreatePanelWindow(nullptr);
    resize_->ApplyAtOpening();
    EXPECT_EQ(Renders(), 2);
    EXPECT_EQ(graphics_->Width(), 1229);
}

// The screen's free area has room for a panel of 1900 x 1100 (the window's bars and frame
// taken off): a stored 200 % opens at the largest zoom whose panel fits, stored and rendered once.
TEST_F(GuiResizeTest, ScreenFitHoldsTheStoredScaleToTheRoomAndRendersItOnce) {
    Build("2.0");
    const double scale = resize_->FitToScreen(1900, 1100);
    EXPECT_NEAR(scale, 1.3747659, 1e-7);
    EXPECT_NE(StoredText().find("guiscale=1.374765943131286"), std::string::npos);
    EXPECT_EQ(Renders(), 2);
    resize_->ApplyAtOpening();
    EXPECT_EQ(Renders(), 2);
    EXPECT_EQ(graphics_->Width(), 1408);
    EXPECT_EQ(graphics_->Height(), 1100) << "as high as the room, not a pixel more";
    // A panel that fits is left alone; a screen too small for half the panel still gets 50 %.
    EXPECT_DOUBLE_EQ(resize_->FitToScreen(3000, 2000), scale);
    EXPECT_DOUBLE_EQ(resize_->FitToScreen(300, 200), 0.5);
    resize_->ApplyAtOpening();
    EXPECT_EQ(graphics_->Width(), 512);
}

TEST_F(GuiResizeTest, StoredScaleOutsideTheLimitsOpensWithinTheScreenAndAtHalfAtLeast) {
    Build("0.2");
    resize_->ApplyAtOpening();
    EXPECT_DOUBLE_EQ(resize_->Scale(), 0.5);
    EXPECT_NE(StoredText().find("guiscale=0.500000000000000"), std::string::npos);
    // Written by hand beyond the high limit: taken while the screen has room, held when not.
    TempDir::Write(SettingsFile(), "[gui]\nguiscale=2.5\n");
    resize_->SetScreenRoom(1400, 1000);
    resize_->ApplyAtOpening();
    EXPECT_EQ(graphics_->Height(), 1000);
    EXPECT_EQ(graphics_->Width(), 1280);
}

// Room for 1400 x 1000: 120 % (960 high) fits, 130 % (1040) and 200 % do not.
TEST_F(GuiResizeTest, ZoomsTheScreenHasNoRoomForAreNotOfferedAndZoomInStopsAtTheRoom) {
    Build();
    resize_->SetScreenRoom(1400, 1000);
    EXPECT_TRUE(resize_->ViewCommandEnabled(kCommandZoom120));
    EXPECT_FALSE(resize_->ViewCommandEnabled(kCommandZoom130));
    EXPECT_FALSE(resize_->ViewCommandEnabled(kCommandZoom200));
    EXPECT_TRUE(resize_->ViewCommandEnabled(kCommandZoomIn));
    EXPECT_TRUE(resize_->DoViewCommand(kCommandZoom200));
    EXPECT_DOUBLE_EQ(resize_->Scale(), 1.0) << "sent anyway, it changes nothing";
    resize_->DoViewCommand(kCommandZoom120);
    resize_->DoViewCommand(kCommandZoomIn);
    EXPECT_EQ(graphics_->Height(), 1000);
    EXPECT_EQ(graphics_->Width(), 1280);
    const double largest = resize_->Scale();
    resize_->DoViewCommand(kCommandZoomIn);
    EXPECT_DOUBLE_EQ(resize_->Scale(), largest);
    resize_->DoViewCommand(kCommandZoomOut);
    EXPECT_DOUBLE_EQ(resize_->Scale(), 1.2);
    // The grip stops at the room too.
    const int right = graphics_->Width() - 2, bottom = graphics_->Height() - 2;
    graphics_->MouseDown(right, bottom, Left());
    graphics_->MouseDrag(right + 400, bottom + 400, Left());
    graphics_->MouseUp(right + 400, bottom + 400, Left());
    EXPECT_DOUBLE_EQ(resize_->Scale(), largest);
    EXPECT_EQ(graphics_->Height(), 1000);
}

TEST_F(GuiResizeTest, EdgeHandleDragChangesTheBaseWidthWithinTheModesLimits) {
    Build(nullptr, true);
    EXPECT_FALSE(resize_->HorizontalHandle()->IsHidden());
    EXPECT_EQ(resize_->HorizontalHandle()->DrawRect(), (Rect{1018, 0, 1024, 800}));
    graphics_->MouseDown(1020, 300, Left());
    graphics_->MouseDrag(900, 300, Left());
    EXPECT_DOUBLE_EQ(resize_->BaseWidth(), 900.0);
    EXPECT_EQ(graphics_->Width(), 900);
    graphics_->MouseDrag(100, 300, Left());
    EXPECT_DOUBLE_EQ(resize_->BaseWidth(), 512.0);
    graphics_->MouseUp(100, 300, Left());
    EXPECT_EQ(resize_->StateParameter(GuiResize::kStateBaseWidth).value, 512.0);
    EXPECT_EQ(resize_->HorizontalHandle()->DrawRect(), (Rect{506, 0, 512, 800}));
}

TEST(GuiScaleSetting, FormatsFifteenDecimalsAndReadsLikeANumberReader) {
    EXPECT_EQ(GuiScaleSetting::Format(1.2), "1.200000000000000");
    EXPECT_EQ(GuiScaleSetting::Format(0.7), "0.700000000000000");
    EXPECT_EQ(GuiScaleSetting::Parse(" 1.25xyz").value_or(0), 1.25);
    EXPECT_EQ(GuiScaleSetting::Parse("+2").value_or(0), 2.0);
    EXPECT_FALSE(GuiScaleSetting::Parse("abc").has_value());
    EXPECT_FALSE(GuiScaleSetting::Parse("").has_value());
}
