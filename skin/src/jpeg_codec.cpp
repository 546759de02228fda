#include "skin/jpeg_codec.h"

#include <QFile>

#include <csetjmp>
#include <cstdio>
#include <memory>
#include <utility>

#include <jpeglib.h>

namespace skin {
namespace {

// Far beyond any window picture; stops a forged header from asking for gigabytes.
constexpr JDIMENSION cMaxSide = 8192;

struct JpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void leaveOnError(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<JpegError*>(cinfo->err)->jump, 1);
}

// libjpeg only warns about corrupt data and a premature end, then pads the
// rest with grey; for us either means the picture is damaged. Trace messages
// (level > 0) are harmless and stay silent, as does everything else: the
// program has no console to print to.
void leaveOnWarning(j_common_ptr cinfo, int level)
{
    if (level < 0)
        leaveOnError(cinfo);
}

// Everything that must survive a longjmp lives on the heap, so no automatic
// object of the function holding the jump buffer changes after setjmp.
struct Decoder {
    jpeg_decompress_struct cinfo{};
    JpegError error{};
    QImage image;
};

// Our own destination: libjpeg's memory destination reallocates behind the
// caller's pointer and leaves it dangling when compression stops on an error.
struct Encoder {
    jpeg_compress_struct cinfo{};
    JpegError error{};
    jpeg_destination_mgr destination{};
    QImage rgb;
    QByteArray out;
    JOCTET chunk[16384];
};

Encoder* encoderOf(j_compress_ptr cinfo) { return static_cast<Encoder*>(cinfo->client_data); }

void startChunk(j_compress_ptr cinfo)
{
    Encoder* e = encoderOf(cinfo);
    e->destination.next_output_byte = e->chunk;
    e->destination.free_in_buffer = sizeof e->chunk;
}

boolean flushFullChunk(j_compress_ptr cinfo)
{
    Encoder* e = encoderOf(cinfo);
    e->out.append(reinterpret_cast<const char*>(e->chunk), sizeof e->chunk);
    startChunk(cinfo);
    return TRUE;
}

void flushLastChunk(j_compress_ptr cinfo)
{
    Encoder* e = encoderOf(cinfo);
    const auto used = sizeof e->chunk - e->destination.free_in_buffer;
    e->out.append(reinterpret_cast<const char*>(e->chunk), static_cast<qsizetype>(used));
}

} // namespace

QImage decodeJpeg(QByteArrayView data)
{
    if (data.isEmpty())
        return {};
    const auto d = std::make_unique<Decoder>();
    d->cinfo.err = jpeg_std_error(&d->error.manager);
    d->error.manager.error_exit = leaveOnError;
    d->error.manager.emit_message = leaveOnWarning;
    if (setjmp(d->error.jump)) {
        jpeg_destroy_decompress(&d->cinfo);
        return {};
    }
    jpeg_create_decompress(&d->cinfo);
    jpeg_mem_src(&d->cinfo, reinterpret_cast<const unsigned char*>(data.data()),
                 static_cast<unsigned long>(data.size()));
    jpeg_read_header(&d->cinfo, TRUE);
    if (d->cinfo.image_width > cMaxSide || d->cinfo.image_height > cMaxSide) {
        jpeg_destroy_decompress(&d->cinfo);
        return {};
    }
    d->cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&d->cinfo);
    d->image = QImage(static_cast<int>(d->cinfo.output_width),
                      static_cast<int>(d->cinfo.output_height), QImage::Format_RGB888);
    if (d->image.isNull() || d->cinfo.output_components != 3) {
        jpeg_destroy_decompress(&d->cinfo);
        return {};
    }
    while (d->cinfo.output_scanline < d->cinfo.output_height) {
        JSAMPROW row = d->image.scanLine(static_cast<int>(d->cinfo.output_scanline));
        jpeg_read_scanlines(&d->cinfo, &row, 1);
    }
    jpeg_finish_decompress(&d->cinfo);
    jpeg_destroy_decompress(&d->cinfo);
    return std::move(d->image);
}

QImage decodeJpegFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return decodeJpeg(file.readAll());
}

QByteArray encodeJpeg(const QImage& image, int quality)
{
    if (image.isNull())
        return {};
    const auto e = std::make_unique<Encoder>();
    e->rgb = image.convertToFormat(QImage::Format_RGB888);
    e->cinfo.err = jpeg_std_error(&e->error.manager);
    e->error.manager.error_exit = leaveOnError;
    e->error.manager.emit_message = [](j_common_ptr, int) {};
    if (setjmp(e->error.jump)) {
        jpeg_destroy_compress(&e->cinfo);
        return {};
    }
    jpeg_create_compress(&e->cinfo);
    e->cinfo.client_data = e.get();
    e->destination.init_destination = startChunk;
    e->destination.empty_output_buffer = flushFullChunk;
    e->destination.term_destination = flushLastChunk;
    e->cinfo.dest = &e->destination;
    e->cinfo.image_width = static_cast<JDIMENSION>(e->rgb.width());
    e->cinfo.image_height = static_cast<JDIMENSION>(e->rgb.height());
    e->cinfo.input_components = 3;
    e->cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&e->cinfo);
    jpeg_set_quality(&e->cinfo, quality, TRUE);
    jpeg_start_compress(&e->cinfo, TRUE);
    while (e->cinfo.next_scanline < e->cinfo.image_height) {
        // libjpeg's row type is not const, but the compressor only reads it.
        JSAMPROW row =
            const_cast<JSAMPROW>(e->rgb.constScanLine(static_cast<int>(e->cinfo.next_scanline)));
        jpeg_write_scanlines(&e->cinfo, &row, 1);
    }
    jpeg_finish_compress(&e->cinfo);
    jpeg_destroy_compress(&e->cinfo);
    return std::move(e->out);
}

} // namespace skin
