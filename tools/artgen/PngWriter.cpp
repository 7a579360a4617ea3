#include "PngWriter.h"

#include <zlib.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>

#include "raster/PngImage.h"

namespace artgen {

namespace {

using Bytes = std::vector<uint8_t>;

void PutBigEndian(Bytes& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(value >> shift));
}

void AppendChunk(Bytes& out, const char* type, std::span<const uint8_t> contents) {
    PutBigEndian(out, static_cast<uint32_t>(contents.size()));
    const size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), contents.begin(), contents.end());
    const uLong crc = crc32(0, out.data() + typeAt, static_cast<uInt>(out.size() - typeAt));
    PutBigEndian(out, static_cast<uint32_t>(crc));
}

// Row y as the file stores it: R, G, B and, unless opaque, A.
Bytes FileRow(const raster::Bitmap& bitmap, int y, bool opaque) {
    const int channels = opaque ? 3 : 4;
    Bytes row(static_cast<size_t>(bitmap.Width()) * channels);
    const uint32_t* pixels = bitmap.Row(y);
    for (int x = 0; x < bitmap.Width(); ++x) {
        uint8_t* out = &row[static_cast<size_t>(x) * channels];
        out[0] = static_cast<uint8_t>(pixels[x] >> 16);
        out[1] = static_cast<uint8_t>(pixels[x] >> 8);
        out[2] = static_cast<uint8_t>(pixels[x]);
        if (!opaque) out[3] = static_cast<uint8_t>(pixels[x] >> 24);
    }
    return row;
}

uint8_t Paeth(int left, int up, int upLeft) {
    const int p = left + up - upLeft;
    const int toLeft = std::abs(p - left);
    const int toUp = std::abs(p - up);
    const int toUpLeft = std::abs(p - upLeft);
    if (toLeft <= toUp && toLeft <= toUpLeft) return static_cast<uint8_t>(left);
    return static_cast<uint8_t>(toUp <= toUpLeft ? up : upLeft);
}

// The row filtered with the PNG filter type (0 none, 1 sub, 2 up, 3 average, 4 Paeth), its
// type byte first; above is the row before it, zeros for the first.
Bytes Filtered(const Bytes& row, const Bytes& above, int type, int channels) {
    Bytes out(row.size() + 1);
    out[0] = static_cast<uint8_t>(type);
    for (size_t i = 0; i < row.size(); ++i) {
        const int left = i >= static_cast<size_t>(channels) ? row[i - channels] : 0;
        const int up = above[i];
        const int upLeft = i >= static_cast<size_t>(channels) ? above[i - channels] : 0;
        const int predicted = type == 1   ? left
                              : type == 2 ? up
                              : type == 3 ? (left + up) / 2
                              : type == 4 ? Paeth(left, up, upLeft)
                                          : 0;
        out[i + 1] = static_cast<uint8_t>(row[i] - predicted);
    }
    return out;
}

// The filter that gives the smallest sum of the bytes taken as signed, as libpng chooses. A row
// where the data restarts may use only those that need no row above (none and sub).
Bytes BestFiltered(const Bytes& row, const Bytes& above, bool restart, int channels) {
    Bytes best;
    long bestSum = -1;
    for (int type = 0; type < (restart ? 2 : 5); ++type) {
        Bytes candidate = Filtered(row, above, type, channels);
        long sum = 0;
        for (size_t i = 1; i < candidate.size(); ++i)
            sum += std::abs(static_cast<int8_t>(candidate[i]));
        if (bestSum < 0 || sum < bestSum) {
            bestSum = sum;
            best = std::move(candidate);
        }
    }
    return best;
}

class Deflater {
public:
    Deflater() { ok_ = deflateInit2(&stream_, 9, Z_DEFLATED, 15, 8, Z_FILTERED) == Z_OK; }
    ~Deflater() { deflateEnd(&stream_); }
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    // Compresses bytes; Z_FULL_FLUSH first ends everything before at a byte with a fresh
    // dictionary, Z_FINISH ends the stream.
    bool Add(const Bytes& bytes, int flush) {
        if (!ok_) return false;
        stream_.next_in = const_cast<Bytes::value_type*>(bytes.data());
        stream_.avail_in = static_cast<uInt>(bytes.size());
        std::array<uint8_t, 16384> buffer;
        int result = Z_OK;
        do {
            stream_.next_out = buffer.data();
            stream_.avail_out = static_cast<uInt>(buffer.size());
            result = deflate(&stream_, flush);
            if (result == Z_STREAM_ERROR) return ok_ = false;
            out_.insert(out_.end(), buffer.data(), stream_.next_out);
        } while (stream_.avail_out == 0 || (flush == Z_FINISH && result != Z_STREAM_END));
        return true;
    }
    const Bytes& Out() const { return out_; }

private:
    z_stream stream_{};
    bool ok_ = false;
    Bytes out_;
};

// The whole file: header, restart list, data, end.
bool Encode(const raster::Bitmap& bitmap, bool opaque, const std::vector<int>& restartRows,
            Bytes& file) {
    const int channels = opaque ? 3 : 4;
    Deflater deflater;
    Bytes restarts;
    Bytes above(static_cast<size_t>(bitmap.Width()) * channels, 0);
    size_t nextRestart = 0;
    for (int y = 0; y < bitmap.Height(); ++y) {
        const bool restart = nextRestart < restartRows.size() && restartRows[nextRestart] == y;
        if (restart) {
            if (!deflater.Add({}, Z_FULL_FLUSH)) return false;
            PutBigEndian(restarts, static_cast<uint32_t>(y));
            PutBigEndian(restarts, static_cast<uint32_t>(deflater.Out().size()));
            ++nextRestart;
        }
        Bytes row = FileRow(bitmap, y, opaque);
        if (!deflater.Add(BestFiltered(row, above, restart, channels), Z_NO_FLUSH)) return false;
        above = std::move(row);
    }
    if (nextRestart != restartRows.size() || !deflater.Add({}, Z_FINISH)) return false;

    file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header;
    PutBigEndian(header, static_cast<uint32_t>(bitmap.Width()));
    PutBigEndian(header, static_cast<uint32_t>(bitmap.Height()));
    // 8 bits a channel, RGB or RGBA, deflate, adaptive filters, not interlaced.
    header.insert(header.end(), {8, static_cast<uint8_t>(opaque ? 2 : 6), 0, 0, 0});
    AppendChunk(file, "IHDR", header);
    if (!restarts.empty()) AppendChunk(file, raster::kPngRestartChunk, restarts);
    AppendChunk(file, "IDAT", deflater.Out());
    AppendChunk(file, "IEND", {});
    return true;
}

}  // namespace

bool WritePng(const raster::Bitmap& bitmap, const std::string& path, bool opaque,
              const std::vector<int>& restartRows) {
    Bytes file;
    if (bitmap.Width() < 1 || bitmap.Height() < 1 || !Encode(bitmap, opaque, restartRows, file))
        return false;
    const std::string partial = path + ".part";
    std::FILE* out = std::fopen(partial.c_str(), "wb");
    if (out == nullptr) return false;
    bool ok = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    ok = std::fclose(out) == 0 && ok;
    if (ok) ok = std::rename(partial.c_str(), path.c_str()) == 0;
    if (!ok) std::remove(partial.c_str());
    return ok;
}

}  // namespace artgen
