// The editor's own panel with its images decoded ahead on worker threads and rendered frame by
// frame as they are drawn, against the plain path that decodes and renders every image whole
// before drawing: a user must see the same pixels, whatever the zoom and whichever frames show.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "QtPanelDriver.h"
#include "editor/OrvoEditor.h"
#include "editor/OrvoPanel.h"
#include "gui/GraphicsFactory.h"
#include "gui/GuiResize.h"
#include "gui/ImageCache.h"
#include "library/MakePlugin.h"
#include "platform/qt/GraphicsQt.h"
#include "support/TempDir.h"

namespace {

class OnDemandImages : public ::testing::Test {
protected:
    void SetUp() override {
        OffscreenApp();
        setenv("XDG_CONFIG_HOME", config_.Path().c_str(), 1);
    }
    void TearDown() override {
        ImageCache::SetOnDemand(true);
        Graphics::KeepDecodedImagesIn("");
        unsetenv("XDG_CONFIG_HOME");
    }

    // The whole panel after each of a few changes, one after the other in one picture.
    std::vector<uint32_t> PanelThroughChanges(bool onDemand) {
        ImageCache::SetOnDemand(onDemand);
        if (onDemand) Graphics::DecodeResourcesAhead(OrvoPanel::ImagesOfFirstPaint());
        uint16_t channel = 1;
        SetGraphicsFactory([](PluginBase* core) { return new GraphicsQt(core); });
        std::unique_ptr<OrvoEditor> editor(MakePlugin(nullptr, &channel));
        SetGraphicsFactory({});
        std::vector<uint32_t> pixels;
        if (!editor) return pixels;
        auto* graphics = static_cast<Graphics*>(editor->Gui());
        auto show = [&](double zoom) {
            editor->RedrawParamControls();
            editor->Resize()->SetScale(zoom);
            editor->Resize()->ApplyChange();
            graphics->MarkAllDirty();
            Rect dirty;
            if (graphics->CollectDirty(dirty)) graphics->DrawDirty(dirty);
            const raster::SysBitmap& bitmap = *graphics->DrawBitmap();
            for (int y = 0; y < bitmap.Height(); ++y)
                pixels.insert(pixels.end(), bitmap.Row(y), bitmap.Row(y) + bitmap.Width());
        };
        show(1.0);
        // Every knob, fader and switch at its top: frames the first paint did not need.
        for (int position = 0; position < kUnitParamCount; ++position)
            editor->SetParameterValue(ParamIndexOfPosition(position), PositionMaximum(position));
        editor->SetParameterValue(ParamIndexOfPosition(kEffectTypePosition), kEffectEqualizer);
        show(1.0);
        // Another zoom renders every strip anew, frames and all.
        show(1.37);
        // The about overlay's picture is decoded only when it shows.
        editor->Panel()->ShowAbout();
        show(0.5);
        editor.reset();
        Graphics::ReleaseCaches();
        return pixels;
    }

    TempDir config_;
};

}  // namespace

namespace {

size_t Differing(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    size_t differing = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        differing += a[i] != b[i];
    return differing;
}

std::vector<std::filesystem::path> FilesIn(const std::string& folder) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

TEST_F(OnDemandImages, PanelPixelsEqualThePlainPath) {
    const std::vector<uint32_t> plain = PanelThroughChanges(false);
    const std::vector<uint32_t> onDemand = PanelThroughChanges(true);
    ASSERT_FALSE(plain.empty());
    ASSERT_EQ(onDemand.size(), plain.size());
    EXPECT_EQ(Differing(onDemand, plain), 0u);
}

// Decoded images kept between starts: the first start writes them, the next reads them, and
// damaged files are decoded anew and rewritten; every start shows what the plain path shows.
TEST_F(OnDemandImages, KeptImagesShowThePlainPathColdWarmAndDamaged) {
    const std::vector<uint32_t> plain = PanelThroughChanges(false);
    ASSERT_FALSE(plain.empty());

    TempDir cache;
    Graphics::KeepDecodedImagesIn(cache.Path());
    const std::vector<uint32_t> cold = PanelThroughChanges(true);
    ASSERT_EQ(cold.size(), plain.size());
    EXPECT_EQ(Differing(cold, plain), 0u);
    const std::vector<std::filesystem::path> kept = FilesIn(cache.Path());
    ASSERT_GE(kept.size(), 3u);
    std::vector<uintmax_t> sizes;
    for (const auto& file : kept)
        sizes.push_back(std::filesystem::file_size(file));

    const std::vector<uint32_t> warm = PanelThroughChanges(true);
    ASSERT_EQ(warm.size(), plain.size());
    EXPECT_EQ(Differing(warm, plain), 0u);

    // One file cut short, one with its header overwritten, one a byte too long.
    std::filesystem::resize_file(kept[0], sizes[0] / 2);
    {
        std::fstream header(kept[1], std::ios::in | std::ios::out | std::ios::binary);
        header.write("garbage garbage garbage", 23);
    }
    {
        std::ofstream longer(kept[2], std::ios::app | std::ios::binary);
        longer.put('\0');
    }
    const std::vector<uint32_t> damaged = PanelThroughChanges(true);
    ASSERT_EQ(damaged.size(), plain.size());
    EXPECT_EQ(Differing(damaged, plain), 0u);
    // Rewritten whole, and nothing else left in the folder.
    ASSERT_EQ(FilesIn(cache.Path()).size(), kept.size());
    for (size_t i = 0; i < kept.size(); ++i)
        EXPECT_EQ(std::filesystem::file_size(kept[i]), sizes[i]) << kept[i];
}

// A cache folder that cannot be written costs nothing but speed.
TEST_F(OnDemandImages, AnUnwritableCacheFolderShowsThePlainPath) {
    const std::vector<uint32_t> plain = PanelThroughChanges(false);
    Graphics::KeepDecodedImagesIn(config_.Path() + "/no such folder");
    const std::vector<uint32_t> onDemand = PanelThroughChanges(true);
    ASSERT_FALSE(plain.empty());
    ASSERT_EQ(onDemand.size(), plain.size());
    EXPECT_EQ(Differing(onDemand, plain), 0u);
}
