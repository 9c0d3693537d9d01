// PNG files a band of rows at a time (see png_rows.h).
#include "png_rows.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <cstring>

#include "zu/platform/files.h"

namespace zu::simhost {

// ---------------------------------------------------------------------------
// Files

bool PngFile::Open(const std::filesystem::path& path, bool write) {
    Close();
    write_ = write;
    // A named pipe or a device at the path is refused, never waited on.
    const platform::OpenedFile opened =
        platform::OpenHostFile(path.string(), write ? O_WRONLY | O_CREAT | O_TRUNC : O_RDONLY);
    if (!opened) return false;
    file = ::fdopen(opened.fd, write ? "wb" : "rb");
    if (file == nullptr) {
        ::close(opened.fd);
        return false;
    }
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

namespace {

// Rows of an image surface's opaque pixels as R, G, B bytes.
void ToRgb(const unsigned char* data, int stride, int rows, int width, png_byte* out) {
    for (int y = 0; y < rows; ++y) {
        const auto* px = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int x = 0; x < width; ++x, out += 3) {
            out[0] = static_cast<png_byte>(px[x] >> 16);
            out[1] = static_cast<png_byte>(px[x] >> 8);
            out[2] = static_cast<png_byte>(px[x]);
        }
    }
}

}  // namespace

bool PngRowWriter::Write(const unsigned char* data, int stride, int rows) {
    for (int y = 0; y < rows && !failed_; ++y) {
        ToRgb(data + static_cast<size_t>(y) * stride, stride, 1, width_, row_.data());
        failed_ = !WritePngRow(png_.png, row_.data());
    }
    return !failed_;
}

bool PngRowWriter::WriteRgb(const png_byte* data, int rows) {
    for (int y = 0; y < rows && !failed_; ++y) {
        // libpng filters a copy of the row; it never writes to it.
        auto* row = const_cast<png_bytep>(data + static_cast<size_t>(y) * width_ * 3);
        failed_ = !WritePngRow(png_.png, row);
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
// Run-length coded rows

void PixelRuns::Clear() {
    codes_.clear();
    codes_.shrink_to_fit();
    starts_.clear();
    starts_.shrink_to_fit();
    ends_.clear();
    ends_.shrink_to_fit();
}

void PixelRuns::Compact() {
    codes_.shrink_to_fit();
    starts_.shrink_to_fit();
    ends_.shrink_to_fit();
}

void PixelRuns::Append(const uint32_t* row, int width) {
    const auto first = static_cast<uint32_t>(codes_.size());
    for (int x = 0; x < width;) {
        int run = 1;
        while (x + run < width && row[x + run] == row[x]) ++run;
        if (run >= 3) {
            codes_.push_back(static_cast<uint32_t>(run));
            codes_.push_back(row[x]);
            x += run;
            continue;
        }
        // A stretch ends where a run of three begins.
        int end = x + run;
        while (end < width &&
               !(end + 2 < width && row[end] == row[end + 1] && row[end] == row[end + 2])) {
            ++end;
        }
        codes_.push_back(kStretch | static_cast<uint32_t>(end - x));
        codes_.insert(codes_.end(), row + x, row + end);
        x = end;
    }
    const auto last = static_cast<uint32_t>(codes_.size());
    // A row coded as the one above it shares its codes.
    if (!starts_.empty() && last - first == ends_.back() - starts_.back() &&
        std::equal(codes_.begin() + first, codes_.end(), codes_.begin() + starts_.back())) {
        codes_.resize(first);
        starts_.push_back(starts_.back());
        ends_.push_back(ends_.back());
        return;
    }
    starts_.push_back(first);
    ends_.push_back(last);
}

void PixelRuns::Decode(int row, uint32_t* out) const {
    const uint32_t* c = codes_.data() + starts_[static_cast<size_t>(row)];
    const uint32_t* end = codes_.data() + ends_[static_cast<size_t>(row)];
    while (c < end) {
        const uint32_t count = *c & ~kStretch;
        if ((*c & kStretch) != 0) {
            std::memcpy(out, c + 1, count * sizeof *out);
            c += 1 + count;
        } else {
            std::fill_n(out, count, c[1]);
            c += 2;
        }
        out += count;
    }
}

// ---------------------------------------------------------------------------
// Writing on a thread of its own

struct PngPipeline::File {
    PngRowWriter writer;
    std::filesystem::path file;
    std::filesystem::path temp;
    int width = 0;
    bool failed = false;
};

PngPipeline::PngPipeline() = default;

PngPipeline::~PngPipeline() {
    std::string ignored;
    Finish(&ignored);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
}

bool PngPipeline::Open(const std::filesystem::path& file, int width, int height,
                       std::string* error) {
    if (open_ != nullptr) Close(false);
    auto f = std::make_unique<File>();
    f->file = file;
    f->temp = file.string() + ".part";
    f->width = width;
    if (!f->writer.Open(f->temp, width, height)) {
        f->writer.Close();
        std::error_code ec;
        std::filesystem::remove(f->temp, ec);
        *error = "cannot write " + file.string();
        return false;
    }
    if (!thread_.joinable()) thread_ = std::thread([this] { Run(); });
    open_ = f.release();
    return true;
}

void PngPipeline::Write(const unsigned char* data, int stride, int rows) {
    if (open_ == nullptr) return;
    const size_t row_bytes = static_cast<size_t>(open_->width) * 3;
    // Chunks of up to half a megabyte, so that the queue keeps moving.
    const int per_chunk = std::max(1, static_cast<int>((512u << 10) / row_bytes));
    for (int y = 0; y < rows; y += per_chunk) {
        Chunk c;
        c.file = open_;
        c.count = std::min(per_chunk, rows - y);
        c.rows.resize(row_bytes * static_cast<size_t>(c.count));
        ToRgb(data + static_cast<size_t>(y) * stride, stride, c.count, open_->width, c.rows.data());
        Push(std::move(c));
    }
}

void PngPipeline::Close(bool complete) {
    if (open_ == nullptr) return;
    Chunk c;
    c.file = open_;
    c.complete = complete;
    open_ = nullptr;
    Push(std::move(c));
}

void PngPipeline::WriteSurface(cairo_surface_t* picture, const std::filesystem::path& file) {
    if (!thread_.joinable()) thread_ = std::thread([this] { Run(); });
    Chunk c;
    c.picture = picture;
    c.whole = file;
    Push(std::move(c));
}

namespace {

size_t ChunkBytes(const std::vector<png_byte>& rows, cairo_surface_t* picture) {
    if (picture == nullptr) return rows.size();
    return static_cast<size_t>(cairo_image_surface_get_stride(picture)) *
           static_cast<size_t>(cairo_image_surface_get_height(picture));
}

}  // namespace

void PngPipeline::Push(Chunk chunk) {
    std::unique_lock<std::mutex> lock(mutex_);
    const size_t bytes = ChunkBytes(chunk.rows, chunk.picture);
    changed_.wait(lock, [&] { return queued_bytes_ == 0 || queued_bytes_ + bytes <= kQueueBytes; });
    queued_bytes_ += bytes;
    queue_.push_back(std::move(chunk));
    lock.unlock();
    changed_.notify_all();
}

bool PngPipeline::Finish(std::string* error) {
    if (open_ != nullptr) Close(false);
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return queue_.empty() && !busy_; });
    lock.unlock();
    return !Failed(error);
}

bool PngPipeline::Failed(std::string* error) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (failure_.empty()) return false;
    *error = std::move(failure_);
    failure_.clear();
    return true;
}

void PngPipeline::Run() {
    for (;;) {
        Chunk c;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock, [&] { return stop_ || !queue_.empty(); });
            if (queue_.empty()) return;
            c = std::move(queue_.front());
            queue_.pop_front();
            busy_ = true;
        }
        File* f = c.file;
        std::string failure;
        if (c.picture != nullptr) {
            const std::filesystem::path temp = c.whole.string() + ".part";
            const cairo_status_t status = cairo_surface_write_to_png(c.picture, temp.c_str());
            std::error_code ec;
            if (status == CAIRO_STATUS_SUCCESS) std::filesystem::rename(temp, c.whole, ec);
            if (status != CAIRO_STATUS_SUCCESS || ec) {
                failure = "cannot write " + c.whole.string() + ": " +
                          (ec ? ec.message() : cairo_status_to_string(status));
                std::filesystem::remove(temp, ec);
            }
        } else if (c.count > 0) {
            if (!f->failed) f->failed = !f->writer.WriteRgb(c.rows.data(), c.count);
        } else {
            bool ok = f->writer.Close() && c.complete && !f->failed;
            std::error_code ec;
            if (ok) std::filesystem::rename(f->temp, f->file, ec);
            // (A file left incomplete is the caller's to report.)
            if ((!ok || ec) && c.complete) {
                failure = "cannot write " + f->file.string() + (ec ? ": " + ec.message() : "");
            }
            if (!ok || ec) std::filesystem::remove(f->temp, ec);
            delete f;
        }
        const size_t bytes = ChunkBytes(c.rows, c.picture);
        c.rows = {};
        if (c.picture != nullptr) cairo_surface_destroy(c.picture);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            queued_bytes_ -= bytes;
            if (failure_.empty()) failure_ = std::move(failure);
            busy_ = false;
        }
        changed_.notify_all();
    }
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
