// PNG files a band of rows at a time (see png_rows.h).
#include "png_rows.h"

#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <cstring>

namespace zu::simhost {

// ---------------------------------------------------------------------------
// Writing

PngRowWriter::~PngRowWriter() {
    Release();
}

void PngRowWriter::Release() {
    if (png_ != nullptr) png_destroy_write_struct(&png_, &info_);
    png_ = nullptr;
    info_ = nullptr;
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
}

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
    Release();
    failed_ = true;
    width_ = width;
    file_ = std::fopen(file.c_str(), "wb");
    if (file_ == nullptr) return false;
    png_ = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png_ == nullptr) return false;
    info_ = png_create_info_struct(png_);
    if (info_ == nullptr) return false;
    row_.assign(static_cast<size_t>(width) * 3, 0);
    failed_ = !StartPng(png_, info_, file_, width, height);
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
        failed_ = !WritePngRow(png_, row_.data());
    }
    return !failed_;
}

bool PngRowWriter::Close() {
    if (png_ == nullptr) failed_ = true;
    if (!failed_) failed_ = !EndPng(png_, info_);
    if (png_ != nullptr) png_destroy_write_struct(&png_, &info_);
    png_ = nullptr;
    info_ = nullptr;
    if (file_ != nullptr && std::fclose(file_) != 0) failed_ = true;
    file_ = nullptr;
    return !failed_;
}

// ---------------------------------------------------------------------------
// Reading

PngStripReader::~PngStripReader() {
    Release();
}

void PngStripReader::Release() {
    if (png_ != nullptr) png_destroy_read_struct(&png_, &info_, nullptr);
    png_ = nullptr;
    info_ = nullptr;
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
    if (strip_ != nullptr) cairo_surface_destroy(strip_);
    strip_ = nullptr;
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
    next_row_ = top_ = held_ = 0;
    file_ = std::fopen(file.c_str(), "rb");
    if (file_ == nullptr) return false;
    png_ = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png_ == nullptr) return false;
    info_ = png_create_info_struct(png_);
    if (info_ == nullptr) return false;
    if (!ReadPngHeader(png_, info_, file_, &width_, &height_, &alpha_)) return false;
    if (width_ <= 0 || height_ <= 0 || width_ > 32767 || height_ > 32767) return false;
    row_.assign(static_cast<size_t>(width_) * (alpha_ ? 4 : 3), 0);
    failed_ = false;
    return true;
}

bool PngStripReader::ReadRow(unsigned char* out) {
    if (failed_ || next_row_ >= height_ || !ReadPngRow(png_, row_.data())) {
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

cairo_surface_t* PngStripReader::Rows(int first, int last, int* top) {
    if (png_ == nullptr || failed_) return nullptr;
    first = std::clamp(first, top_, height_);
    last = std::clamp(last, first, height_);
    const int rows = std::max(1, last - first);
    if (strip_ == nullptr || cairo_image_surface_get_height(strip_) < rows) {
        cairo_surface_t* bigger = cairo_image_surface_create(
            alpha_ ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24, width_, rows);
        if (cairo_surface_status(bigger) != CAIRO_STATUS_SUCCESS) {
            cairo_surface_destroy(bigger);
            failed_ = true;
            return nullptr;
        }
        if (strip_ != nullptr) {
            // The rows still wanted move over.
            cairo_surface_flush(strip_);
            const int keep = std::max(0, top_ + held_ - first);
            const int stride = cairo_image_surface_get_stride(strip_);
            std::memcpy(
                cairo_image_surface_get_data(bigger),
                cairo_image_surface_get_data(strip_) + static_cast<size_t>(first - top_) * stride,
                static_cast<size_t>(keep) * stride);
            cairo_surface_destroy(strip_);
            top_ = first;
            held_ = keep;
        }
        strip_ = bigger;
    }
    cairo_surface_flush(strip_);
    unsigned char* data = cairo_image_surface_get_data(strip_);
    const int stride = cairo_image_surface_get_stride(strip_);
    const int capacity = cairo_image_surface_get_height(strip_);
    // Drop the rows above `first`.
    const int drop = std::min(held_, first - top_);
    if (drop > 0) {
        std::memmove(data, data + static_cast<size_t>(drop) * stride,
                     static_cast<size_t>(held_ - drop) * stride);
        held_ -= drop;
    }
    if (held_ == 0) {
        // Rows between are read and let go.
        while (next_row_ < first && ReadRow(nullptr)) {
        }
    }
    top_ = first;
    while (top_ + held_ < last && ReadRow(data + static_cast<size_t>(held_) * stride)) ++held_;
    if (failed_) return nullptr;
    std::memset(data + static_cast<size_t>(held_) * stride, 0,
                static_cast<size_t>(capacity - held_) * stride);
    cairo_surface_mark_dirty(strip_);
    *top = top_;
    return strip_;
}

}  // namespace zu::simhost
