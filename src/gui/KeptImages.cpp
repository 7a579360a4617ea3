#include "gui/KeptImages.h"

#include <cstdio>
#include <cstring>

#include "util/AtomicFile.h"

namespace {

constexpr char kMagic[8] = {'O', 'R', 'V', 'O', 'P', 'I', 'X', '\0'};

// Magic, version, width, height, key, in this machine's byte order as the pixels are: a file
// from another byte order fails on its version.
struct Header {
    char magic[8];
    uint32_t version;
    uint32_t width;
    uint32_t height;
    uint32_t reserved;
    uint64_t key;
};
static_assert(sizeof(Header) == 32);

constexpr uint64_t kFnvOffset = 0xcbf29ce484222325ull;
constexpr uint64_t kFnvPrime = 0x100000001b3ull;

uint64_t Mix(uint64_t hash, const void* data, size_t size) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    for (size_t i = 0; i < size; ++i)
        hash = (hash ^ bytes[i]) * kFnvPrime;
    return hash;
}

size_t RowBytes(int width) {
    return static_cast<size_t>(width) * sizeof(uint32_t);
}

}  // namespace

uint64_t KeptImages::KeyOf(std::span<const uint8_t> encoded, int width, int height) {
    uint64_t hash = Mix(kFnvOffset, encoded.data(), encoded.size());
    const uint32_t shape[3] = {kFormatVersion, static_cast<uint32_t>(width),
                               static_cast<uint32_t>(height)};
    return Mix(hash, shape, sizeof shape);
}

std::string KeptImages::PathOf(const std::string& folder, uint64_t key) {
    char name[32];
    std::snprintf(name, sizeof name, "%016llx.pixels", static_cast<unsigned long long>(key));
    return folder + "/" + name;
}

std::unique_ptr<raster::MemBitmap> KeptImages::Read(const std::string& path, uint64_t key,
                                                    int width, int height) {
    if (width < 1 || height < 1) return nullptr;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return nullptr;
    std::unique_ptr<raster::MemBitmap> bitmap;
    Header header{};
    const bool headerFits = std::fread(&header, sizeof header, 1, file) == 1 &&
                            std::memcmp(header.magic, kMagic, sizeof kMagic) == 0 &&
                            header.version == kFormatVersion &&
                            header.width == static_cast<uint32_t>(width) &&
                            header.height == static_cast<uint32_t>(height) && header.key == key;
    if (headerFits) {
        bitmap = std::make_unique<raster::MemBitmap>(width, height);
        bool whole = bitmap->HasPixels();
        for (int y = 0; whole && y < height; ++y) {
            uint32_t* row = bitmap->Pixels() + static_cast<size_t>(y) * bitmap->Span();
            whole = std::fread(row, RowBytes(width), 1, file) == 1;
        }
        // A longer file is not this image either.
        if (!whole || std::fgetc(file) != EOF) bitmap.reset();
    }
    std::fclose(file);
    return bitmap;
}

std::vector<uint8_t> KeptImages::FileOf(const raster::MemBitmap& bitmap, uint64_t key) {
    Header header{};
    std::memcpy(header.magic, kMagic, sizeof kMagic);
    header.version = kFormatVersion;
    header.width = static_cast<uint32_t>(bitmap.Width());
    header.height = static_cast<uint32_t>(bitmap.Height());
    header.key = key;
    const size_t rowBytes = RowBytes(bitmap.Width());
    std::vector<uint8_t> file(sizeof header + rowBytes * static_cast<size_t>(bitmap.Height()));
    std::memcpy(file.data(), &header, sizeof header);
    uint8_t* out = file.data() + sizeof header;
    for (int y = 0; y < bitmap.Height(); ++y, out += rowBytes)
        std::memcpy(out, bitmap.Pixels() + static_cast<size_t>(y) * bitmap.Span(), rowBytes);
    return file;
}

bool KeptImages::Write(const std::string& path, const std::vector<uint8_t>& file) {
    return WriteFileAtomically(path, file.data(), file.size());
}
