#include "gui/KeptImages.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

// Written by this build's format, whatever image it holds.
bool OfThisFormat(const Header& header) {
    return std::memcmp(header.magic, kMagic, sizeof kMagic) == 0 &&
           header.version == KeptImages::kFormatVersion;
}

constexpr uint64_t kFnvOffset = 0xcbf29ce484222325ull;
constexpr uint64_t kFnvPrime = 0x100000001b3ull;

// FNV-1a over 8 bytes at a time, the tail byte by byte: the encoded images are hashed at every
// start, and a byte at a time costs a multiplication each.
uint64_t Mix(uint64_t hash, const void* data, size_t size) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    size_t i = 0;
    for (; i + sizeof(uint64_t) <= size; i += sizeof(uint64_t)) {
        uint64_t word;
        std::memcpy(&word, bytes + i, sizeof word);
        hash = (hash ^ word) * kFnvPrime;
        hash ^= hash >> 29;
    }
    for (; i < size; ++i)
        hash = (hash ^ bytes[i]) * kFnvPrime;
    return hash;
}

size_t RowBytes(int width) {
    return static_cast<size_t>(width) * sizeof(uint32_t);
}

// pread until size bytes are in, or false.
bool ReadFully(int fd, void* into, size_t size, off_t at) {
    auto* bytes = static_cast<uint8_t*>(into);
    while (size > 0) {
        const ssize_t got = pread(fd, bytes, size, at);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        bytes += got;
        size -= static_cast<size_t>(got);
        at += got;
    }
    return true;
}

}  // namespace

uint64_t KeptImages::KeyOf(std::span<const uint8_t> encoded, int width, int height) {
    uint64_t hash = Mix(kFnvOffset, encoded.data(), encoded.size());
    const uint32_t shape[3] = {kFormatVersion, static_cast<uint32_t>(width),
                               static_cast<uint32_t>(height)};
    return Mix(hash, shape, sizeof shape);
}

uint64_t KeptImages::DerivedKeyOf(uint64_t key, std::span<const int> shape) {
    const uint64_t hash = Mix(kFnvOffset, &key, sizeof key);
    return Mix(hash, shape.data(), shape.size_bytes());
}

std::string KeptImages::PathOf(const std::string& folder, uint64_t key, const char* kind) {
    char name[32];
    std::snprintf(name, sizeof name, "%016llx.", static_cast<unsigned long long>(key));
    return folder + "/" + name + kind;
}

std::unique_ptr<raster::MemBitmap> KeptImages::Read(const std::string& path, uint64_t key,
                                                    int width, int height) {
    if (width < 1 || height < 1) return nullptr;
    auto bitmap = std::make_unique<raster::MemBitmap>(width, height);
    if (!bitmap->HasPixels() || !ReadRows(path, key, *bitmap, 0, height)) return nullptr;
    return bitmap;
}

bool KeptImages::ReadRows(const std::string& path, uint64_t key, raster::MemBitmap& into, int top,
                          int bottom) {
    const int width = into.Width();
    const int height = into.Height();
    if (width < 1 || height < 1 || !into.HasPixels() || top < 0 || bottom > height) return false;
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const size_t rowBytes = RowBytes(width);
    Header header{};
    struct stat status {};
    // A longer or shorter file is not this image either.
    bool fits = fstat(fd, &status) == 0 &&
                static_cast<uint64_t>(status.st_size) ==
                    sizeof header + rowBytes * static_cast<uint64_t>(height) &&
                pread(fd, &header, sizeof header, 0) == static_cast<ssize_t>(sizeof header) &&
                OfThisFormat(header) && header.width == static_cast<uint32_t>(width) &&
                header.height == static_cast<uint32_t>(height) && header.key == key;
    const bool padded = static_cast<size_t>(into.Span()) != static_cast<size_t>(width);
    for (int y = top; fits && y < bottom;) {
        // Rows without padding in memory are read in one go.
        const int rows = padded ? 1 : bottom - y;
        const size_t bytes = rowBytes * static_cast<size_t>(rows);
        const off_t at = static_cast<off_t>(sizeof header + rowBytes * static_cast<size_t>(y));
        fits = ReadFully(fd, into.Pixels() + static_cast<size_t>(y) * into.Span(), bytes, at);
        y += rows;
    }
    close(fd);
    return fits;
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

void KeptImages::ForgetOtherVersions(const std::string& folder) {
    char marker[32];
    const int length = std::snprintf(marker, sizeof marker, "ORVOPIX %u\n", kFormatVersion);
    const std::string markerPath = folder + "/format";
    {
        std::ifstream in(markerPath, std::ios::binary);
        std::string held((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (held == std::string(marker, static_cast<size_t>(length))) return;
    }
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string extension = entry.path().extension().string();
        if (extension != std::string(".") + kDecoded && extension != std::string(".") + kRendering)
            continue;
        // A file of this version may have been written meanwhile by this run: it stays.
        Header header{};
        std::ifstream file(entry.path(), std::ios::binary);
        const bool ours =
            file.read(reinterpret_cast<char*>(&header), sizeof header) && OfThisFormat(header);
        file.close();
        std::error_code ignored;
        if (!ours) std::filesystem::remove(entry.path(), ignored);
    }
    // A folder that cannot be written is tried again at the next start.
    (void)WriteFileAtomically(markerPath, marker, static_cast<size_t>(length));
}

bool KeptImages::Write(const std::string& path, const std::vector<uint8_t>& file) {
    return WriteFileAtomically(path, file.data(), file.size());
}
