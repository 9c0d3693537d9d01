// PNG files read and written a band of rows at a time, so that a large
// picture need never be held whole. Rows are in Cairo's layout (32-bit
// native-endian pixels, premultiplied) and come out as Cairo's own PNG
// reader and writer would make them.
#pragma once

#include <cairo.h>
#include <png.h>

#include <cstdio>
#include <filesystem>
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
    // Ends the file; false when anything failed on the way.
    bool Close();

  private:
    PngFile png_;
    int width_ = 0;
    std::vector<png_byte> row_;
    bool failed_ = false;
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
