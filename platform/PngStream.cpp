#include "platform/PngStream.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <zlib.h>

#include "base/Error.h"
#include "base/FileWriter.h"

namespace karvello {

namespace {

constexpr std::size_t kChunkBytes = 1 << 16;

void PutU32(std::uint8_t* at, std::uint32_t value) {
    at[0] = static_cast<std::uint8_t>(value >> 24);
    at[1] = static_cast<std::uint8_t>(value >> 16);
    at[2] = static_cast<std::uint8_t>(value >> 8);
    at[3] = static_cast<std::uint8_t>(value);
}

} // namespace

struct PngStream::Deflater {
    z_stream stream{};
    bool started = false;
    ~Deflater() {
        if (started) {
            deflateEnd(&stream);
        }
    }
};

PngStream::PngStream(AtomicFileWriter& out, int width, int height, int dotsPerMetre)
    : out_(out), width_(width), height_(height), deflater_(std::make_unique<Deflater>()) {
    if (width <= 0 || height <= 0) {
        throw KarvelloError("An image must be at least one pixel wide and high");
    }
    // A drawing is mostly long runs of white; run-length matching packs
    // them nearly as well as the full search, in a fraction of the time.
    if (deflateInit2(&deflater_->stream, 6, Z_DEFLATED, 15, 8, Z_RLE) != Z_OK) {
        throw KarvelloError("The image compressor could not be started");
    }
    deflater_->started = true;
    compressed_.resize(kChunkBytes);

    static constexpr std::uint8_t kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Put(kSignature, sizeof kSignature);
    std::uint8_t header[13] = {};
    PutU32(header, static_cast<std::uint32_t>(width));
    PutU32(header + 4, static_cast<std::uint32_t>(height));
    header[8] = 8;  // bits per sample
    header[9] = 2;  // colour type: RGB
    header[10] = 0; // deflate
    header[11] = 0; // adaptive filtering, one filter byte per row
    header[12] = 0; // no interlace
    WriteChunk("IHDR", header, sizeof header);
    std::uint8_t resolution[9] = {};
    PutU32(resolution, static_cast<std::uint32_t>(dotsPerMetre));
    PutU32(resolution + 4, static_cast<std::uint32_t>(dotsPerMetre));
    resolution[8] = 1; // unit: metre
    WriteChunk("pHYs", resolution, sizeof resolution);
}

PngStream::~PngStream() = default;

void PngStream::Put(const void* data, std::size_t size) {
    out_.Write(data, size);
}

void PngStream::WriteChunk(const char type[4], const std::uint8_t* data, std::size_t size) {
    std::uint8_t length[4];
    PutU32(length, static_cast<std::uint32_t>(size));
    Put(length, 4);
    Put(type, 4);
    if (size > 0) {
        Put(data, size);
    }
    uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(type), 4);
    if (size > 0) {
        crc = crc32(crc, data, static_cast<uInt>(size));
    }
    std::uint8_t check[4];
    PutU32(check, static_cast<std::uint32_t>(crc));
    Put(check, 4);
}

void PngStream::Compress(const std::uint8_t* data, std::size_t size, bool last) {
    z_stream& stream = deflater_->stream;
    stream.next_in = const_cast<Bytef*>(data);
    stream.avail_in = static_cast<uInt>(size);
    int result = Z_OK;
    do {
        stream.next_out = compressed_.data();
        stream.avail_out = static_cast<uInt>(compressed_.size());
        result = deflate(&stream, last ? Z_FINISH : Z_NO_FLUSH);
        if (result == Z_STREAM_ERROR) {
            throw KarvelloError("The image could not be compressed");
        }
        const std::size_t produced = compressed_.size() - stream.avail_out;
        if (produced > 0) {
            WriteChunk("IDAT", compressed_.data(), produced);
        }
    } while (stream.avail_out == 0 || (last && result != Z_STREAM_END));
}

void PngStream::WriteRow(const std::uint8_t* rgb) {
    WritePixels(rgb, static_cast<std::size_t>(width_));
}

void PngStream::WritePixels(const std::uint8_t* rgb, std::size_t count) {
    const auto width = static_cast<std::size_t>(width_);
    while (count > 0) {
        if (pixelsInRow_ == 0) {
            if (rowsWritten_ >= height_) {
                throw KarvelloError("The image has no room for another row");
            }
            static constexpr std::uint8_t kNoFilter = 0;
            Compress(&kNoFilter, 1, false);
        }
        const std::size_t piece = std::min(count, width - pixelsInRow_);
        Compress(rgb, piece * 3, false);
        rgb += piece * 3;
        count -= piece;
        pixelsInRow_ += piece;
        if (pixelsInRow_ == width) {
            pixelsInRow_ = 0;
            ++rowsWritten_;
        }
    }
}

void PngStream::Finish() {
    if (rowsWritten_ != height_ || pixelsInRow_ != 0) {
        throw KarvelloError("The image is missing " + std::to_string(height_ - rowsWritten_) +
                            " rows");
    }
    Compress(nullptr, 0, true);
    WriteChunk("IEND", nullptr, 0);
}

} // namespace karvello
