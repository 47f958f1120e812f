// Fuzz target: the integer conversion, against the C library's reading of the same grammar.
#include "core/IntegerText.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

bool isHex(char c)
{
    return std::strchr("0123456789abcdefABCDEF", c) != nullptr && c != '\0';
}

bool isDec(char c)
{
    return c >= '0' && c <= '9';
}

// Blanks, a sign, "$", "x", "X", "0x" or "0X" for hexadecimal, digits to the end; strtoull does the
// arithmetic. Every text the grammar accepts is ASCII.
std::optional<std::int32_t> reference(const QString &text)
{
    for (const QChar c : text)
        if (c.unicode() >= 128 || c.unicode() == 0)
            return std::nullopt;
    std::string s = text.toStdString();
    std::size_t i = s.find_first_not_of(' ');
    if (i == std::string::npos)
        return std::nullopt;
    bool negative = false;
    if (s[i] == '+' || s[i] == '-')
        negative = s[i++] == '-';
    bool hex = false;
    if (i < s.size() && (s[i] == '$' || s[i] == 'x' || s[i] == 'X')) {
        hex = true;
        ++i;
    } else if (s.compare(i, 2, "0x") == 0 || s.compare(i, 2, "0X") == 0) {
        hex = true;
        i += 2;
    }
    const std::string digits = s.substr(i);
    if (digits.empty())
        return std::nullopt;
    for (const char c : digits)
        if (!(hex ? isHex(c) : isDec(c)))
            return std::nullopt;
    errno = 0;
    const unsigned long long value = std::strtoull(digits.c_str(), nullptr, hex ? 16 : 10);
    if (errno == ERANGE)
        return std::nullopt;
    const unsigned long long limit = hex ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
    if (value > limit)
        return std::nullopt;
    const auto bits = static_cast<std::uint32_t>(negative ? 0u - static_cast<std::uint32_t>(value)
                                                          : static_cast<std::uint32_t>(value));
    return static_cast<std::int32_t>(bits);
}

void check(const QString &text)
{
    if (testoInIntero(text) != reference(text))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const auto *bytes = reinterpret_cast<const char *>(data);
    const auto n = static_cast<qsizetype>(size);
    check(QString::fromLatin1(bytes, n));
    check(QString::fromUtf8(bytes, n));

    // Every value reads back from its decimal and its hexadecimal form.
    if (size >= 4) {
        std::int32_t value;
        std::memcpy(&value, data, sizeof value);
        if (testoInIntero(QString::number(value)) != value)
            std::abort();
        if (testoInIntero(QStringLiteral("$") + QString::number(static_cast<std::uint32_t>(value), 16)) != value)
            std::abort();
    }
    return 0;
}
