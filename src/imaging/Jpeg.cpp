#include "Jpeg.h"

#include "Picture.h"
#include "data/Error.h"

#include <algorithm>
#include <climits>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
// clang-format off
#include <jpeglib.h>
// clang-format on

namespace imaging {
namespace {

// libjpeg reports errors by calling error_exit, which must not return. Ours jumps back
// into the C-style functions below; nothing with a destructor lives in their frames
// across setjmp, and no C++ exception ever crosses a libjpeg frame. Warnings (stray bytes,
// a stream that ends early, corrupt data) are counted by the library and decoding goes on:
// what it patches over shows as grey, as in any viewer.
struct ErrorManager
{
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void failJump(j_common_ptr cinfo)
{
    auto* manager = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, manager->message);
    std::longjmp(manager->jump, 1);
}

void emitMessage(j_common_ptr cinfo, int level)
{
    if (level < 0)
        ++cinfo->err->num_warnings;
}

void ignoreMessage(j_common_ptr) { }

void installErrors(ErrorManager& manager)
{
    jpeg_std_error(&manager.base);
    manager.base.error_exit = failJump;
    manager.base.emit_message = emitMessage;
    manager.base.output_message = ignoreMessage;
    manager.message[0] = '\0';
}

char* messageOf(j_common_ptr cinfo)
{
    return reinterpret_cast<ErrorManager*>(cinfo->err)->message;
}

// Ends the work with the message already written by messageOf.
[[noreturn]] void stop(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

[[noreturn]] void refuse(j_common_ptr cinfo, const char* why)
{
    std::snprintf(messageOf(cinfo), JMSG_LENGTH_MAX, "%s", why);
    stop(cinfo);
}

// Each scan of a progressive file costs a pass over the whole image, however few bytes
// it holds; a bound on their number bounds the time a small file can take.
void limitScans(j_common_ptr cinfo)
{
    if (cinfo->is_decompressor
        && reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > jpegMaxScans)
        refuse(cinfo, "Too many scans");
}

// Gives the decoder the rows to write into once the output size is known; nullptr refuses.
using RowsFor
    = unsigned char* (*)(void* target, unsigned width, unsigned height, std::size_t* stride);

struct DecodeJob
{
    const unsigned char* data;
    unsigned long size;
    unsigned fitWidth; // 0: full size
    unsigned fitHeight;
    RowsFor rowsFor;
    void* target;
    ErrorManager errors;
    // Kept here rather than in decodeInto's frame, so that they stay valid after longjmp.
    jpeg_decompress_struct cinfo;
    jpeg_progress_mgr progress;
    JSAMPLE* inkRow; // one row of CMYK samples, for ink files
};

void checkDeclaredSize(j_decompress_ptr cinfo, unsigned long fileSize)
{
    const auto common = j_common_ptr(cinfo);
    const long long pixels = (long long)cinfo->image_width * cinfo->image_height;
    if (pixels > jpegMaxPixels) {
        std::snprintf(messageOf(common), JMSG_LENGTH_MAX,
                      "The picture is %u x %u pixels (%lld megapixels); pictures of up to "
                      "%lld megapixels can be read",
                      cinfo->image_width, cinfo->image_height, (pixels + 500'000) / 1'000'000,
                      jpegMaxPixels / 1'000'000);
        stop(common);
    }
    // Huffman coding spends at least one bit on every block of the first component, however
    // plain the picture; a file shorter than that cannot hold the size it declares.
    if (!cinfo->arith_code && cinfo->num_components > 0) {
        const jpeg_component_info& first = cinfo->comp_info[0];
        const long long blocks = (long long)first.width_in_blocks * first.height_in_blocks;
        if (blocks / 8 > (long long)fileSize) {
            std::snprintf(messageOf(common), JMSG_LENGTH_MAX,
                          "The picture declares %u x %u pixels, more than its %lu bytes can "
                          "hold",
                          cinfo->image_width, cinfo->image_height, fileSize);
            stop(common);
        }
    }
}

// The smallest of libjpeg's scalings (n/8) whose output still covers the fit box; the
// decoder then works on reduced blocks and never holds the full-size picture.
void chooseScale(j_decompress_ptr cinfo, unsigned fitWidth, unsigned fitHeight)
{
    if (fitWidth == 0 || fitHeight == 0)
        return;
    cinfo->scale_denom = 8;
    for (unsigned n = 1; n <= 8; ++n) {
        if ((unsigned long long)cinfo->image_width * n >= 8ULL * fitWidth
            && (unsigned long long)cinfo->image_height * n >= 8ULL * fitHeight) {
            cinfo->scale_num = n;
            return;
        }
    }
    cinfo->scale_num = 8;
}

// Ink files (CMYK, and YCCK which the library turns into CMYK) as blue, green, red. Adobe's
// files, which is what Photoshop and most other programs write, store the inks inverted.
void inkToBgr(const JSAMPLE* ink, unsigned char* bgr, unsigned width, bool inverted)
{
    for (unsigned x = 0; x < width; ++x, ink += 4, bgr += 3) {
        unsigned c = ink[0], m = ink[1], y = ink[2], k = ink[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        bgr[0] = (unsigned char)((y * k + 127) / 255);
        bgr[1] = (unsigned char)((m * k + 127) / 255);
        bgr[2] = (unsigned char)((c * k + 127) / 255);
    }
}

// Returns true on success; on failure errors.message says why.
bool decodeInto(DecodeJob* job)
{
    j_decompress_ptr cinfo = &job->cinfo;
    installErrors(job->errors);
    cinfo->err = &job->errors.base;
    job->inkRow = nullptr;
    if (setjmp(job->errors.jump)) {
        jpeg_destroy_decompress(&job->cinfo);
        std::free(job->inkRow);
        job->inkRow = nullptr;
        return false;
    }
    jpeg_create_decompress(cinfo);
    cinfo->mem->max_memory_to_use = jpegMemoryLimit;
    job->progress.progress_monitor = limitScans;
    cinfo->progress = &job->progress;
    jpeg_mem_src(cinfo, job->data, job->size);
    jpeg_read_header(cinfo, TRUE);
    checkDeclaredSize(cinfo, job->size);
    const bool ink = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
    cinfo->out_color_space = ink ? JCS_CMYK : JCS_EXT_BGR;
    cinfo->dct_method = JDCT_ISLOW;
    cinfo->do_fancy_upsampling = TRUE;
    chooseScale(cinfo, job->fitWidth, job->fitHeight);
    jpeg_start_decompress(cinfo);
    std::size_t stride = 0;
    unsigned char* rows
        = job->rowsFor(job->target, cinfo->output_width, cinfo->output_height, &stride);
    if (!rows)
        refuse(j_common_ptr(cinfo), "Out of memory");
    if (ink) {
        job->inkRow = static_cast<JSAMPLE*>(std::malloc(std::size_t(cinfo->output_width) * 4));
        if (!job->inkRow)
            refuse(j_common_ptr(cinfo), "Out of memory");
    }
    while (cinfo->output_scanline < cinfo->output_height) {
        unsigned char* out = rows + std::size_t(cinfo->output_scanline) * stride;
        JSAMPROW row = ink ? job->inkRow : out;
        jpeg_read_scanlines(cinfo, &row, 1);
        if (ink)
            inkToBgr(job->inkRow, out, cinfo->output_width, cinfo->saw_Adobe_marker);
    }
    jpeg_finish_decompress(cinfo);
    jpeg_destroy_decompress(cinfo);
    std::free(job->inkRow);
    job->inkRow = nullptr;
    return true;
}

struct HeaderJob
{
    const unsigned char* data;
    unsigned long size;
    ErrorManager errors;
    jpeg_decompress_struct cinfo;
    unsigned width;
    unsigned height;
};

bool readHeader(HeaderJob* job)
{
    installErrors(job->errors);
    job->cinfo.err = &job->errors.base;
    if (setjmp(job->errors.jump)) {
        jpeg_destroy_decompress(&job->cinfo);
        return false;
    }
    jpeg_create_decompress(&job->cinfo);
    jpeg_mem_src(&job->cinfo, job->data, job->size);
    jpeg_read_header(&job->cinfo, TRUE);
    job->width = job->cinfo.image_width;
    job->height = job->cinfo.image_height;
    jpeg_destroy_decompress(&job->cinfo);
    return true;
}

unsigned char* pictureRows(void* target, unsigned width, unsigned height,
                           std::size_t* stride) noexcept
{
    try {
        auto* picture = static_cast<Picture*>(target);
        *picture = Picture::uninitialised(int(width), int(height));
        *stride = std::size_t(picture->stride());
        return picture->row(0);
    } catch (...) {
        return nullptr;
    }
}

unsigned char* reusedRows(void* target, unsigned width, unsigned height,
                          std::size_t* stride) noexcept
{
    try {
        auto* picture = static_cast<Picture*>(target);
        picture->reuseAs(int(width), int(height));
        *stride = std::size_t(picture->stride());
        return picture->row(0);
    } catch (...) {
        return nullptr;
    }
}

// Writes the encoder's output straight into a QByteArray that lives outside the
// setjmp frame. A failure to grow it becomes a libjpeg error, never an exception.
struct Destination
{
    jpeg_destination_mgr base;
    QByteArray* bytes;
    qsizetype used;
};

bool grow(Destination* dest, qsizetype size) noexcept
{
    try {
        dest->bytes->resize(size);
    } catch (...) {
        return false;
    }
    dest->base.next_output_byte = reinterpret_cast<JOCTET*>(dest->bytes->data()) + dest->used;
    dest->base.free_in_buffer = size_t(size - dest->used);
    return true;
}

void startDestination(j_compress_ptr cinfo)
{
    auto* dest = reinterpret_cast<Destination*>(cinfo->dest);
    dest->used = 0;
    if (!grow(dest, 64 * 1024))
        refuse(j_common_ptr(cinfo), "Out of memory");
}

boolean growDestination(j_compress_ptr cinfo)
{
    auto* dest = reinterpret_cast<Destination*>(cinfo->dest);
    dest->used = dest->bytes->size();
    if (!grow(dest, dest->used * 2))
        refuse(j_common_ptr(cinfo), "Out of memory");
    return TRUE;
}

void finishDestination(j_compress_ptr cinfo)
{
    auto* dest = reinterpret_cast<Destination*>(cinfo->dest);
    dest->bytes->truncate(dest->bytes->size() - qsizetype(dest->base.free_in_buffer));
}

struct EncodeJob
{
    const Picture* picture;
    int quality;
    ErrorManager errors;
    Destination destination;
    jpeg_compress_struct cinfo;
};

bool encodeInto(EncodeJob* job)
{
    j_compress_ptr cinfo = &job->cinfo;
    installErrors(job->errors);
    cinfo->err = &job->errors.base;
    if (setjmp(job->errors.jump)) {
        jpeg_destroy_compress(&job->cinfo);
        return false;
    }
    jpeg_create_compress(cinfo);
    job->destination.base.init_destination = startDestination;
    job->destination.base.empty_output_buffer = growDestination;
    job->destination.base.term_destination = finishDestination;
    cinfo->dest = &job->destination.base;
    cinfo->image_width = JDIMENSION(job->picture->width());
    cinfo->image_height = JDIMENSION(job->picture->height());
    cinfo->input_components = 3;
    cinfo->in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(cinfo);
    jpeg_set_quality(cinfo, job->quality, TRUE);
    jpeg_start_compress(cinfo, TRUE);
    while (cinfo->next_scanline < cinfo->image_height) {
        // libjpeg only reads the rows it is given.
        JSAMPROW row = const_cast<JSAMPROW>(job->picture->row(int(cinfo->next_scanline)));
        jpeg_write_scanlines(cinfo, &row, 1);
    }
    jpeg_finish_compress(cinfo);
    jpeg_destroy_compress(cinfo);
    return true;
}

} // namespace

QByteArray encodeJpeg(const Picture& picture)
{
    return encodeJpeg(picture, 90);
}

QByteArray encodeJpeg(const Picture& picture, int quality)
{
    if (picture.isEmpty())
        return {};
    QByteArray bytes;
    EncodeJob job {&picture, std::clamp(quality, 1, 100), {}, {{}, &bytes, 0}, {}};
    if (!encodeInto(&job))
        throw data::Error(QString::fromLocal8Bit(job.errors.message));
    return bytes;
}

QSize jpegSize(const QByteArray& bytes)
{
    HeaderJob job {reinterpret_cast<const unsigned char*>(bytes.constData()),
                   static_cast<unsigned long>(bytes.size()),
                   {},
                   {},
                   0,
                   0};
    if (!readHeader(&job) || job.width > unsigned(INT_MAX) || job.height > unsigned(INT_MAX))
        return {};
    return QSize(int(job.width), int(job.height));
}

namespace {

void decodeWith(const QByteArray& bytes, QSize fit, RowsFor rowsFor, Picture& picture)
{
    DecodeJob job {reinterpret_cast<const unsigned char*>(bytes.constData()),
                   static_cast<unsigned long>(bytes.size()),
                   unsigned(std::max(fit.width(), 0)),
                   unsigned(std::max(fit.height(), 0)),
                   rowsFor,
                   &picture,
                   {},
                   {},
                   {},
                   nullptr};
    if (!decodeInto(&job))
        throw data::Error(QString::fromLocal8Bit(job.errors.message));
}

} // namespace

Picture decodeJpeg(const QByteArray& bytes, QSize fit)
{
    Picture picture;
    decodeWith(bytes, fit, pictureRows, picture);
    return picture;
}

void decodeJpegInto(const QByteArray& bytes, Picture& picture, QSize fit)
{
    decodeWith(bytes, fit, reusedRows, picture);
}

} // namespace imaging
