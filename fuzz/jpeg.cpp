// Fuzz target: the JPEG decoder on arbitrary bytes.
#include "widgets/Jpeg.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QImage image = decodificaJpeg(QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
    // A picture is whole or not there at all.
    if (!image.isNull() && (image.format() != QImage::Format_RGB888 || image.width() < 1 || image.height() < 1))
        std::abort();
    return 0;
}
