// PNG files a band of rows at a time (see png_rows.h).
#include "png_rows.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <cstring>

namespace zu::simhost {

// ---------------------------------------------------------------------------
// Files

bool PngFile::Open(const std::filesystem::path& path, bool write) {
    Close();
    write_ = write;
    file = std::fopen(path.c_str(), write ? "wb" : "rb");
    if (file == nullptr) return false;
    png = write ? png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr)
                : png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png != nullptr) info = png_create_info_struct(png);
    if (info == nullptr) Close();
    return info != nullptr;
}

bool PngFile::Close() {
    if (png != nullptr && write_) png_destroy_write_struct(&png, &info);
    if (png != nullptr && !write_) png_destroy_read_struct(&png, &info, nullptr);
    png = nullptr;
    info = nullptr;
    const bool closed = file == nullptr || std::fclose(file) == 0;
    file = nullptr;
    return closed;
}

// ---------------------------------------------------------------------------
// Writing

namespace {

// libpng reports its errors by a long jump back into the call that met them;
// these calls hold nothing that needs destroying.
bool StartPng(png_structp png, png_infop info, FILE* file, int width, int height) {
    if (setjmp(png_jmpbuf(png)) != 0) return false;
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_color_16 white{};
    white.gray = 0xFF;
    white.red = white.green = white.blue = 0xFF;
    png_set_bKGD(png, info, &white);
    png_set_compression_level(png, 1);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
    png_write_info(png, info);
    return true;
}

bool WritePngRow(png_structp png, png_bytep row) {
    if (setjmp(png_jmpbuf(png)) != 0) return false;
    png_write_row(png, row);
    return true;
}

bool EndPng(png_structp png, png_infop info) {
    if (setjmp(png_jmpbuf(png)) != 0) return false;
    png_write_end(png, info);
    return true;
}

}  // namespace

bool PngRowWriter::Open(const std::filesystem::path& file, int width, int height) {
    width_ = width;
    failed_ = !png_.Open(file, true);
    if (failed_) return false;
    row_.assign(static_cast<size_t>(width) * 3, 0);
    failed_ = !StartPng(png_.png, png_.info, png_.file, width, height);
    return !failed_;
}

bool PngRowWriter::Write(const unsigned char* data, int stride, int rows) {
    for (int y = 0; y < rows && !failed_; ++y) {
        const auto* px = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
        png_byte* out = row_.data();
        for (int x = 0; x < width_; ++x, out += 3) {
            out[0] = static_cast<png_byte>(px[x] >> 16);
            out[1] = static_cast<png_byte>(px[x] >> 8);
            out[2] = static_cast<png_byte>(px[x]);
        }
        failed_ = !WritePngRow(png_.png, row_.data());
    }
    return !failed_;
}

bool PngRowWriter::Close() {
    if (!png_.is_open()) failed_ = true;
    if (!failed_) failed_ = !EndPng(png_.png, png_.info);
    if (!png_.Close()) failed_ = true;
    return !failed_;
}

// ---------------------------------------------------------------------------
// Reading

void PngStripReader::Release() {
    png_.Close();
    if (strip_ != nullptr) cairo_surface_destroy(strip_);
    strip_ = nullptr;
    if (memory_ != nullptr) ::munmap(memory_, bytes_);
    memory_ = nullptr;
}

namespace {

bool ReadPngHeader(png_structp png, png_infop info, FILE* file, int* width, int* height,
                   bool* alpha) {
    if (setjmp(png_jmpbuf(png)) != 0) return false;
    png_init_io(png, file);
    png_read_info(png, info);
    const int type = png_get_color_type(png, info);
    if (png_get_bit_depth(png, info) != 8 || png_get_interlace_type(png, info) != 0 ||
        png_get_valid(png, info, PNG_INFO_tRNS) != 0 ||
        (type != PNG_COLOR_TYPE_RGB && type != PNG_COLOR_TYPE_RGB_ALPHA)) {
        return false;
    }
    *width = static_cast<int>(png_get_image_width(png, info));
    *height = static_cast<int>(png_get_image_height(png, info));
    *alpha = type == PNG_COLOR_TYPE_RGB_ALPHA;
    png_read_update_info(png, info);
    return true;
}

bool ReadPngRow(png_structp png, png_bytep row) {
    if (setjmp(png_jmpbuf(png)) != 0) return false;
    png_read_row(png, row, nullptr);
    return true;
}

// As Cairo premultiplies a colour by its alpha.
inline uint32_t Premultiplied(uint32_t alpha, uint32_t colour) {
    const uint32_t t = alpha * colour + 0x80;
    return (t + (t >> 8)) >> 8;
}

}  // namespace

bool PngStripReader::Open(const std::filesystem::path& file) {
    Release();
    failed_ = true;
    next_row_ = top_ = 0;
    if (!png_.Open(file, false)) return false;
    if (!ReadPngHeader(png_.png, png_.info, png_.file, &width_, &height_, &alpha_)) return false;
    if (width_ <= 0 || height_ <= 0 || width_ > 32767 || height_ > 32767) return false;
    row_.assign(static_cast<size_t>(width_) * (alpha_ ? 4 : 3), 0);
    failed_ = false;
    return true;
}

bool PngStripReader::ReadRow(unsigned char* out) {
    if (failed_ || next_row_ >= height_ || !ReadPngRow(png_.png, row_.data())) {
        failed_ = true;
        return false;
    }
    ++next_row_;
    if (out == nullptr) return true;
    auto* px = reinterpret_cast<uint32_t*>(out);
    const png_byte* in = row_.data();
    for (int x = 0; x < width_; ++x) {
        if (!alpha_) {
            px[x] = 0xFF000000u | uint32_t{in[0]} << 16 | uint32_t{in[1]} << 8 | in[2];
            in += 3;
            continue;
        }
        const uint32_t a = in[3];
        if (a == 0) {
            px[x] = 0;
        } else if (a == 0xFF) {
            px[x] = 0xFF000000u | uint32_t{in[0]} << 16 | uint32_t{in[1]} << 8 | in[2];
        } else {
            px[x] = a << 24 | Premultiplied(a, in[0]) << 16 | Premultiplied(a, in[1]) << 8 |
                    Premultiplied(a, in[2]);
        }
        in += 4;
    }
    return true;
}

cairo_surface_t* PngStripReader::Rows(int first, int last) {
    if (!png_.is_open() || failed_) return nullptr;
    first = std::clamp(first, top_, height_);
    last = std::clamp(last, first, height_);
    if (strip_ == nullptr) {
        // The whole picture's address space, of which only the rows asked
        // for are ever in memory: drawn from, it is sampled at the very
        // coordinates the whole picture would be.
        const cairo_format_t format = alpha_ ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24;
        stride_ = cairo_format_stride_for_width(format, width_);
        bytes_ = static_cast<size_t>(stride_) * static_cast<size_t>(height_);
        void* memory = ::mmap(nullptr, bytes_, PROT_READ | PROT_WRITE,
                              MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
        if (memory == MAP_FAILED) {
            failed_ = true;
            return nullptr;
        }
        memory_ = static_cast<unsigned char*>(memory);
        strip_ = cairo_image_surface_create_for_data(memory_, format, width_, height_, stride_);
    }
    cairo_surface_flush(strip_);
    // Rows above `first` are done with: their pages go (zero when read).
    const auto page = static_cast<uintptr_t>(::sysconf(_SC_PAGESIZE));
    const uintptr_t start = reinterpret_cast<uintptr_t>(memory_);
    const uintptr_t done = (start + static_cast<uintptr_t>(first) * stride_) & ~(page - 1);
    if (done > start) ::madvise(memory_, done - start, MADV_DONTNEED);
    top_ = first;
    // Rows before the first wanted are read and let go.
    while (next_row_ < first && ReadRow(nullptr)) {
    }
    while (next_row_ < last && ReadRow(memory_ + static_cast<size_t>(next_row_) * stride_)) {
    }
    if (failed_) return nullptr;
    cairo_surface_mark_dirty(strip_);
    return strip_;
}

}  // namespace zu::simhost
