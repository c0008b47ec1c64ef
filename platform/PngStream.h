#pragma once
// Writes a PNG image pixel by pixel in row order, so that a drawing far
// larger than memory would hold as one image can still be written: the
// painter renders it in tiles and their pixels go out as soon as their rows
// are complete. Nothing here holds as much as one row. 8-bit RGB, no
// interlacing.

#include <cstdint>
#include <memory>
#include <vector>

namespace karvello {

class AtomicFileWriter;

class PngStream {
  public:
    // Starts the image on out: signature, header and the resolution in dots
    // per metre. Throws KarvelloError when the size is not positive, and as
    // out's Write does when out cannot be written.
    PngStream(AtomicFileWriter& out, int width, int height, int dotsPerMetre);
    ~PngStream();
    PngStream(const PngStream&) = delete;
    PngStream& operator=(const PngStream&) = delete;

    // Appends the next row: width pixels of 3 bytes, red, green, blue.
    // Throws KarvelloError on a write failure or when every row is written.
    void WriteRow(const std::uint8_t* rgb);
    // Appends count pixels (3 bytes each) to the rows, continuing the
    // current row and beginning the next where one is full. Throws as
    // WriteRow does.
    void WritePixels(const std::uint8_t* rgb, std::size_t count);
    // Ends the image after its last row. Throws KarvelloError when rows are
    // missing or the device cannot be written.
    void Finish();

  private:
    struct Deflater;
    void WriteChunk(const char type[4], const std::uint8_t* data, std::size_t size);
    void Compress(const std::uint8_t* data, std::size_t size, bool last);
    void Put(const void* data, std::size_t size);

    AtomicFileWriter& out_;
    int width_;
    int height_;
    int rowsWritten_ = 0;
    std::size_t pixelsInRow_ = 0; // of the row being written
    std::unique_ptr<Deflater> deflater_;
    std::vector<std::uint8_t> compressed_;
};

} // namespace karvello
