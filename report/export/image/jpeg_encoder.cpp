#include "report/export/image/jpeg_encoder.h"

#include "runtime/exception.h"

#include <QImage>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>
// After jpeglib.h, which it needs.
#include <jerror.h>

// libjpeg reports errors by longjmp. Everything between setjmp and the jump is plain C data, so no
// destructor is skipped; the C++ side only sees a result and a message.

namespace quittung::report {

namespace {

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void onError(j_common_ptr cinfo)
{
    auto* errors = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, errors->message);
    std::longjmp(errors->jump, 1);
}

// Warnings would go to stderr.
void onOutputMessage(j_common_ptr) {}

// A growing malloc'd buffer, so that a failed compression frees everything it took.
struct MemoryDestination {
    jpeg_destination_mgr pub;
    unsigned char* data;
    size_t capacity;
    size_t size;
};

constexpr size_t InitialCapacity = 64 * 1024;

void initDestination(j_compress_ptr cinfo)
{
    auto* dest = reinterpret_cast<MemoryDestination*>(cinfo->dest);
    dest->data = static_cast<unsigned char*>(std::malloc(InitialCapacity));
    if (!dest->data) {
        cinfo->err->msg_code = JERR_OUT_OF_MEMORY;
        (*cinfo->err->error_exit)(reinterpret_cast<j_common_ptr>(cinfo));
    }
    dest->capacity = InitialCapacity;
    dest->pub.next_output_byte = dest->data;
    dest->pub.free_in_buffer = dest->capacity;
}

boolean emptyOutputBuffer(j_compress_ptr cinfo)
{
    // Called only when the whole buffer is full.
    auto* dest = reinterpret_cast<MemoryDestination*>(cinfo->dest);
    const size_t grown = dest->capacity * 2;
    auto* data = static_cast<unsigned char*>(std::realloc(dest->data, grown));
    if (!data) {
        cinfo->err->msg_code = JERR_OUT_OF_MEMORY;
        (*cinfo->err->error_exit)(reinterpret_cast<j_common_ptr>(cinfo));
    }
    dest->data = data;
    dest->pub.next_output_byte = data + dest->capacity;
    dest->pub.free_in_buffer = grown - dest->capacity;
    dest->capacity = grown;
    return TRUE;
}

void termDestination(j_compress_ptr cinfo)
{
    auto* dest = reinterpret_cast<MemoryDestination*>(cinfo->dest);
    dest->size = dest->capacity - dest->pub.free_in_buffer;
}

// The libjpeg part proper. rows points at height rows of width RGB triples, stride bytes apart.
// On success out holds a malloc'd buffer the caller frees.
bool compress(const unsigned char* rows, int width, int height, size_t stride, int quality, MemoryDestination& out,
    char* message)
{
    jpeg_compress_struct cinfo;
    ErrorManager errors;
    cinfo.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = onError;
    errors.pub.output_message = onOutputMessage;
    out.data = nullptr;
    out.capacity = 0;
    out.size = 0;
    if (setjmp(errors.jump)) {
        std::memcpy(message, errors.message, JMSG_LENGTH_MAX);
        jpeg_destroy_compress(&cinfo);
        std::free(out.data);
        out.data = nullptr;
        return false;
    }
    jpeg_create_compress(&cinfo);
    out.pub.init_destination = initDestination;
    out.pub.empty_output_buffer = emptyOutputBuffer;
    out.pub.term_destination = termDestination;
    cinfo.dest = &out.pub;

    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        auto* row = const_cast<JSAMPLE*>(rows + static_cast<size_t>(cinfo.next_scanline) * stride);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

} // namespace

QByteArray encodeJpeg(const QImage& image, int quality)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    MemoryDestination out{};
    char message[JMSG_LENGTH_MAX] = {};
    if (!compress(rgb.constBits(), rgb.width(), rgb.height(), static_cast<size_t>(rgb.bytesPerLine()), quality, out,
            message))
        throw Exception(QString::fromLocal8Bit(message));
    QByteArray bytes(reinterpret_cast<const char*>(out.data), static_cast<qsizetype>(out.size));
    std::free(out.data);
    return bytes;
}

} // namespace quittung::report
