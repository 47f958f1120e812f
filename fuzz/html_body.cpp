// Fuzz target: the body element of arbitrary bytes through libxml2, with each charset a server may declare.
#include "network/HtmlBody.h"

#include <cstdint>
#include <cstdlib>

namespace {

const char *const charsets[] = {"", "utf-8", "UTF-8", "iso-8859-1", "windows-1252", "utf-16", "utf-16le",
                                "ascii", "koi8-r", "shift_jis", "x-unknown", "ebcdic-us"};

} // namespace

// Byte 0 picks the declared charset; the rest is the page.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    const QByteArray charset(charsets[data[0] % (sizeof charsets / sizeof *charsets)]);
    const QByteArray page(reinterpret_cast<const char *>(data + 1), static_cast<qsizetype>(size - 1));
    const std::optional<QByteArray> body = bodyOuterHtml(page, charset);
    // Whatever the page, what comes back is one whole body element.
    if (body && !(body->startsWith("<body") && body->endsWith("</body>")))
        std::abort();
    if (page.isEmpty() && body)
        std::abort();
    return 0;
}
