// The panel's hot drawing paths beside their yardsticks, measured in one run:
//   copy blit vs memcpy, source-alpha blit vs pixman's OVER, fills, decoding every image.

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstring>
#include <random>
#include <vector>

#include "raster/Draw.h"
#include "raster/FastPaths.h"
#include "raster/MemBitmap.h"
#include "raster/PngImage.h"
#include "resources/ResourceTable.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 800;

void FillRandom(raster::MemBitmap& bitmap, uint32_t seed, bool opaque) {
    std::mt19937 random(seed);
    for (int y = 0; y < bitmap.Height(); ++y) {
        for (int x = 0; x < bitmap.Width(); ++x) {
            uint32_t pixel = static_cast<uint32_t>(random());
            bitmap.Row(y)[x] = opaque ? pixel | 0xFF000000u : pixel;
        }
    }
}

// A strip like the panel's: a third transparent, a third opaque, the rest of varied alpha.
void FillStrip(raster::MemBitmap& bitmap) {
    std::mt19937 random(7);
    for (int y = 0; y < bitmap.Height(); ++y) {
        for (int x = 0; x < bitmap.Width(); ++x) {
            uint32_t pixel = static_cast<uint32_t>(random());
            const int band = (x / 16 + y / 16) % 3;
            if (band == 0) pixel &= 0x00FFFFFF;
            if (band == 1) pixel |= 0xFF000000;
            bitmap.Row(y)[x] = pixel;
        }
    }
}

void BM_CopyBlit(benchmark::State& state) {
    raster::MemBitmap src(kWidth, kHeight);
    raster::MemBitmap dest(kWidth, kHeight);
    FillRandom(src, 1, false);
    for (auto _ : state) {
        raster::Blit(&dest, &src, 0, 0, nullptr, 1.0f, raster::kModeCopy);
        benchmark::DoNotOptimize(dest.Pixels());
    }
    state.SetBytesProcessed(state.iterations() * kWidth * kHeight * 4);
}
BENCHMARK(BM_CopyBlit);

void BM_Memcpy(benchmark::State& state) {
    std::vector<uint32_t> src(kWidth * kHeight, 0x12345678);
    std::vector<uint32_t> dest(kWidth * kHeight);
    for (auto _ : state) {
        std::memcpy(dest.data(), src.data(), src.size() * 4);
        benchmark::DoNotOptimize(dest.data());
    }
    state.SetBytesProcessed(state.iterations() * kWidth * kHeight * 4);
}
BENCHMARK(BM_Memcpy);

void AlphaBlit(benchmark::State& state, bool fast) {
    raster::MemBitmap src(kWidth, kHeight);
    raster::MemBitmap dest(kWidth, kHeight);
    FillStrip(src);
    FillRandom(dest, 2, true);
    raster::SetFastPathsEnabled(fast);
    for (auto _ : state) {
        raster::Blit(&dest, &src, 0, 0, nullptr, 1.0f, raster::kModeAlphaCopy);
        benchmark::DoNotOptimize(dest.Pixels());
    }
    raster::SetFastPathsEnabled(true);
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
void BM_AlphaBlit(benchmark::State& state) {
    AlphaBlit(state, true);
}
void BM_AlphaBlitReference(benchmark::State& state) {
    AlphaBlit(state, false);
}
BENCHMARK(BM_AlphaBlit);
BENCHMARK(BM_AlphaBlitReference);

void BM_AlphaBlitHalfWeight(benchmark::State& state) {
    raster::MemBitmap src(kWidth, kHeight);
    raster::MemBitmap dest(kWidth, kHeight);
    FillStrip(src);
    FillRandom(dest, 2, true);
    for (auto _ : state) {
        raster::Blit(&dest, &src, 0, 0, nullptr, 0.5f, raster::kModeAlphaCopy);
        benchmark::DoNotOptimize(dest.Pixels());
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_AlphaBlitHalfWeight);

// pixman composites premultiplied pixels; the strip is premultiplied once up front.
void BM_PixmanOver(benchmark::State& state) {
    raster::MemBitmap src(kWidth, kHeight);
    raster::MemBitmap dest(kWidth, kHeight);
    FillStrip(src);
    FillRandom(dest, 2, true);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            uint32_t& p = src.Row(y)[x];
            const uint32_t a = p >> 24;
            auto pre = [&](int shift) { return ((p >> shift & 0xFF) * a / 255) << shift; };
            p = a << 24 | pre(16) | pre(8) | pre(0);
        }
    }
    pixman_image_t* source =
        pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight, src.Pixels(), src.Span() * 4);
    pixman_image_t* target =
        pixman_image_create_bits(PIXMAN_x8r8g8b8, kWidth, kHeight, dest.Pixels(), dest.Span() * 4);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_OVER, source, nullptr, target, 0, 0, 0, 0, 0, 0, kWidth,
                                 kHeight);
        benchmark::DoNotOptimize(dest.Pixels());
    }
    pixman_image_unref(source);
    pixman_image_unref(target);
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_PixmanOver);

void BM_Fill(benchmark::State& state) {
    const float weight = static_cast<float>(state.range(0)) / 100.0f;
    raster::MemBitmap dest(kWidth, kHeight);
    FillRandom(dest, 3, true);
    for (auto _ : state) {
        raster::FillRect(&dest, 0, 0, kWidth, kHeight, 0xFF336699, weight, raster::kModeCopy);
        benchmark::DoNotOptimize(dest.Pixels());
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_Fill)->Arg(100)->Arg(50)->Arg(30);

void BM_DecodePanelImages(benchmark::State& state) {
    for (auto _ : state) {
        for (const resources::ImageResource& image : resources::kImageResources) {
            benchmark::DoNotOptimize(raster::LoadPngResource(image.id));
        }
    }
}
BENCHMARK(BM_DecodePanelImages)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
