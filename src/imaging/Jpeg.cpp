#include "Jpeg.h"

#include "Picture.h"
#include "data/Error.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
// clang-format off
#include <jpeglib.h>
// clang-format on

namespace imaging {
namespace {

// libjpeg reports errors by calling error_exit, which must not return. Ours jumps back
// into the C-style functions below; nothing with a destructor lives in their frames
// across setjmp, and no C++ exception ever crosses a libjpeg frame. Warnings (corrupt
// data that the library would patch over with grey) jump back the same way.
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
        failJump(cinfo);
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

[[noreturn]] void refuse(j_common_ptr cinfo, const char* why)
{
    auto* manager = reinterpret_cast<ErrorManager*>(cinfo->err);
    std::snprintf(manager->message, JMSG_LENGTH_MAX, "%s", why);
    std::longjmp(manager->jump, 1);
}

// Each scan of a progressive file costs a pass over the whole image, however few bytes
// it holds; a bound on their number bounds the time a small file can take.
void limitScans(j_common_ptr cinfo)
{
    if (cinfo->is_decompressor
        && reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > jpegMaxScans)
        refuse(cinfo, "Too many scans");
}

// Gives the decoder the rows to write into once the header is known; nullptr refuses.
using RowsFor
    = unsigned char* (*)(void* target, unsigned width, unsigned height, std::size_t* stride);

struct DecodeJob
{
    const unsigned char* data;
    unsigned long size;
    RowsFor rowsFor;
    void* target;
    ErrorManager errors;
    // Kept here rather than in decodeInto's frame, so that they stay valid after longjmp.
    jpeg_decompress_struct cinfo;
    jpeg_progress_mgr progress;
};

// Returns true on success; on failure errors.message says why.
bool decodeInto(DecodeJob* job)
{
    j_decompress_ptr cinfo = &job->cinfo;
    installErrors(job->errors);
    cinfo->err = &job->errors.base;
    if (setjmp(job->errors.jump)) {
        jpeg_destroy_decompress(&job->cinfo);
        return false;
    }
    jpeg_create_decompress(cinfo);
    cinfo->mem->max_memory_to_use = jpegMemoryLimit;
    job->progress.progress_monitor = limitScans;
    cinfo->progress = &job->progress;
    jpeg_mem_src(cinfo, job->data, job->size);
    jpeg_read_header(cinfo, TRUE);
    if ((long long)cinfo->image_width * cinfo->image_height > jpegMaxPixels)
        refuse(j_common_ptr(cinfo), "Picture too large");
    cinfo->out_color_space = JCS_EXT_BGR;
    cinfo->dct_method = JDCT_ISLOW;
    cinfo->do_fancy_upsampling = TRUE;
    jpeg_start_decompress(cinfo);
    std::size_t stride = 0;
    unsigned char* rows
        = job->rowsFor(job->target, cinfo->output_width, cinfo->output_height, &stride);
    if (!rows)
        refuse(j_common_ptr(cinfo), "Out of memory");
    while (cinfo->output_scanline < cinfo->output_height) {
        JSAMPROW row = rows + std::size_t(cinfo->output_scanline) * stride;
        jpeg_read_scanlines(cinfo, &row, 1);
    }
    jpeg_finish_decompress(cinfo);
    jpeg_destroy_decompress(cinfo);
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
    jpeg_set_quality(cinfo, 90, TRUE);
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
    if (picture.isEmpty())
        return {};
    QByteArray bytes;
    EncodeJob job {&picture, {}, {{}, &bytes, 0}, {}};
    if (!encodeInto(&job))
        throw data::Error(QString::fromLocal8Bit(job.errors.message));
    return bytes;
}

Picture decodeJpeg(const QByteArray& bytes)
{
    Picture picture;
    DecodeJob job {reinterpret_cast<const unsigned char*>(bytes.constData()),
                   static_cast<unsigned long>(bytes.size()),
                   pictureRows,
                   &picture,
                   {},
                   {},
                   {}};
    if (!decodeInto(&job))
        throw data::Error(QString::fromLocal8Bit(job.errors.message));
    return picture;
}

} // namespace imaging
