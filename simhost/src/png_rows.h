// PNG files read and written a band of rows at a time, so that a large
// picture need never be held whole. Rows are in Cairo's layout (32-bit
// native-endian pixels, premultiplied) and come out as Cairo's own PNG
// reader and writer would make them.
#pragma once

#include <cairo.h>
#include <png.h>

#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zu::simhost {

// A PNG file open with libpng for reading or writing: the file and libpng's
// state for it, let go when closed or destroyed.
class PngFile {
  public:
    PngFile() = default;
    ~PngFile() { Close(); }
    PngFile(const PngFile&) = delete;
    PngFile& operator=(const PngFile&) = delete;

    bool Open(const std::filesystem::path& path, bool write);
    // False when the file could not be closed cleanly.
    bool Close();
    bool is_open() const { return png != nullptr; }

    FILE* file = nullptr;
    png_structp png = nullptr;
    png_infop info = nullptr;

  private:
    bool write_ = false;
};

// Writes an opaque picture as an 8-bit RGB PNG with a white background
// chunk, as Cairo writes an opaque image, row by row; compressed quickly
// (level 1, each row filtered by its left neighbour), since snapshots are
// many and large.
class PngRowWriter {
  public:
    bool Open(const std::filesystem::path& file, int width, int height);
    // `rows` rows of `width` pixels of an image surface's data.
    bool Write(const unsigned char* data, int stride, int rows);
    // `rows` rows already as the file holds them (R, G, B; 3 x width bytes
    // each, packed).
    bool WriteRgb(const png_byte* data, int rows);
    // Ends the file; false when anything failed on the way.
    bool Close();

  private:
    PngFile png_;
    int width_ = 0;
    std::vector<png_byte> row_;
    bool failed_ = false;
};

// Rows of an image surface's pixels, kept run-length coded: a row is runs
// of one pixel repeated and stretches of differing pixels; a row the same as
// the one above it takes no room of its own.
class PixelRuns {
  public:
    void Clear();
    // Gives back the room kept for more rows.
    void Compact();
    // Adds the next row of `width` pixels.
    void Append(const uint32_t* row, int width);
    int rows() const { return static_cast<int>(starts_.size()); }
    // Row `row` into `out` (as many pixels as it was added with).
    void Decode(int row, uint32_t* out) const;
    size_t bytes() const { return (codes_.capacity() + 2 * starts_.capacity()) * 4; }

  private:
    // A code word is a count: a run of count copies of the word after it,
    // or, with the top bit set, a stretch of count words that follow.
    static constexpr uint32_t kStretch = 0x80000000u;
    std::vector<uint32_t> codes_;
    std::vector<uint32_t> starts_;  // per row, its first code word
    std::vector<uint32_t> ends_;    // per row, past its last
};

// Writes PNG files as PngRowWriter does, on a thread of its own: the rows
// handed to it are converted, queued and compressed while the caller goes
// on. Files are written in the order opened, each to a temporary name and
// renamed into place when complete. No more than kQueueBytes of rows wait;
// a caller with more waits for room.
class PngPipeline {
  public:
    PngPipeline();
    ~PngPipeline();
    PngPipeline(const PngPipeline&) = delete;
    PngPipeline& operator=(const PngPipeline&) = delete;

    // Starts writing `file` (as `file`.part until complete); false, with
    // the reason, when it cannot be created.
    bool Open(const std::filesystem::path& file, int width, int height, std::string* error);
    // `rows` rows of the open file's width from an image surface's data.
    void Write(const unsigned char* data, int stride, int rows);
    // Ends the open file (false: `rows` were never all written; the file
    // is then dropped).
    void Close(bool complete);
    // Writes `picture` whole as Cairo does to `file` (renamed into place
    // when complete), after the files opened before it; takes it over.
    void WriteSurface(cairo_surface_t* picture, const std::filesystem::path& file);
    // Waits until every file is written. False, with the first failure's
    // message, when one could not be (reported once).
    bool Finish(std::string* error);
    // True, with the message, when a file written so far failed (without
    // waiting for those still being written; reported once).
    bool Failed(std::string* error);

    static constexpr size_t kQueueBytes = 1u << 20;

  private:
    struct File;
    struct Chunk {
        File* file = nullptr;
        std::vector<png_byte> rows;  // RGB rows; empty: the file ends
        int count = 0;
        bool complete = false;
        cairo_surface_t* picture = nullptr;  // written whole (file: its own)
        std::filesystem::path whole;
    };
    void Run();
    void Push(Chunk chunk);

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Chunk> queue_;
    size_t queued_bytes_ = 0;
    bool busy_ = false;  // the thread is writing a chunk
    bool stop_ = false;
    std::string failure_;
    File* open_ = nullptr;  // the file being handed rows
    std::thread thread_;
};

// Reads a plain PNG (8-bit RGB or RGBA, no transparency chunk, not
// interlaced) top down, a range of rows at a time, into an image surface of
// the whole picture's size of which only those rows are in memory.
class PngStripReader {
  public:
    ~PngStripReader() { Release(); }
    // False when the file cannot be read or is not such a PNG.
    bool Open(const std::filesystem::path& file);
    int width() const { return width_; }
    int height() const { return height_; }
    // Makes the surface hold rows [first, last) of the picture (clamped to
    // it; `first` never less than the last call's) and returns it; rows above
    // `first` are let go (they read as transparent). Null when the file
    // failed.
    cairo_surface_t* Rows(int first, int last);

  private:
    bool ReadRow(unsigned char* out);
    void Release();

    PngFile png_;
    int width_ = 0;
    int height_ = 0;
    bool alpha_ = false;
    int next_row_ = 0;  // the next row the file gives
    cairo_surface_t* strip_ = nullptr;
    unsigned char* memory_ = nullptr;
    size_t bytes_ = 0;
    int stride_ = 0;
    int top_ = 0;  // the first row still wanted
    std::vector<png_byte> row_;
    bool failed_ = false;
};

}  // namespace zu::simhost
