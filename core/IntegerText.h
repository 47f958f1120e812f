// The program's one conversion of a text to a 32-bit integer.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>

// Leading blanks (code 32 only), an optional sign, then decimal digits that must fit a signed
// 32-bit integer, or after "$", "x", "X", "0x" or "0X" hexadecimal digits taken as a 32-bit
// pattern ("$FFFFFFFF" is -1). The digits must run to the end; anything else fails.
std::optional<std::int32_t> testoInIntero(const QString &text);
