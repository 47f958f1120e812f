// Texts to and from the Windows-1252 code page.
#include "core/Cp1252.h"

#include <array>

namespace {

// 0x80..0x9F, where the code page differs from Latin-1; 0 marks the five unassigned bytes,
// which decode to the C1 control of the same value so that every byte survives a round trip.
constexpr std::array<char16_t, 32> alti = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

char codifica(char16_t u)
{
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return static_cast<char>(u);
    for (std::size_t i = 0; i < alti.size(); ++i) {
        if (alti[i] == u || (alti[i] == 0 && u == 0x80 + i))
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

} // namespace

QByteArray inCp1252(const QString &text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar c : text)
        bytes.append(codifica(c.unicode()));
    return bytes;
}

QString daCp1252(const QByteArray &bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (const char b : bytes) {
        const auto u = static_cast<unsigned char>(b);
        if (u >= 0x80 && u < 0xA0 && alti[u - 0x80] != 0)
            text.append(QChar(alti[u - 0x80]));
        else
            text.append(QChar(u));
    }
    return text;
}
