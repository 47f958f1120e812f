// JPEG decoding on libjpeg, with its errors turned into a null image instead of an exit.
#include "widgets/Jpeg.h"

#include <QFile>

#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>

namespace {

// libjpeg's default error handler ends the process; this one jumps back to the decoder.
struct ErrorManager
{
    jpeg_error_mgr base;
    std::jmp_buf jumpBack;
};

void leaveDecoding(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorManager *>(info->err)->jumpBack, 1);
}

// Warnings (a truncated stream among them) are counted, not printed.
void ignoreMessage(j_common_ptr) {}

// A few hundred bytes can declare a picture of 65500 x 65500 pixels, and a progressive one makes
// libjpeg hold all of its coefficients: both are bounded far above the logos' size.
constexpr unsigned long MaxPixels = 4096ul * 4096ul;
constexpr long MaxLibjpegMemory = 128l * 1024 * 1024;

// Everything that owns memory lives outside the setjmp frame, so a longjmp skips no destructor
// that matters: the image is only handed out after a clean finish.
bool decode(jpeg_decompress_struct &info, const QByteArray &data, QImage &image)
{
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char *>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK)
        return false;
    if (static_cast<unsigned long>(info.image_width) * info.image_height > MaxPixels)
        return false;
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    if (info.output_components != 3)
        return false;
    image = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                   QImage::Format_RGB888);
    if (image.isNull())
        return false;
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image.scanLine(static_cast<int>(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    return info.err->num_warnings == 0;
}

} // namespace

QImage decodificaJpeg(const QByteArray &dati)
{
    if (dati.isEmpty())
        return {};

    jpeg_decompress_struct info {};
    ErrorManager error {};
    info.err = jpeg_std_error(&error.base);
    error.base.error_exit = leaveDecoding;
    error.base.output_message = ignoreMessage;

    QImage immagine;
    bool riuscita = false;
    if (setjmp(error.jumpBack) == 0) {
        jpeg_create_decompress(&info);
        // Past this libjpeg asks for a temporary file, which it has none of, and fails cleanly.
        info.mem->max_memory_to_use = MaxLibjpegMemory;
        riuscita = decode(info, dati, immagine);
    }
    jpeg_destroy_decompress(&info);
    return riuscita ? immagine : QImage();
}

QImage caricaJpeg(const QString &percorso)
{
    QFile file(percorso);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return decodificaJpeg(file.readAll());
}
