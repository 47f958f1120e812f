// Fuzz target: the page cutting with fuzzed criteria and entries, in both directions, against the
// routine's steps followed one by one on 1-based positions.
#include "core/VersionPage.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Text = std::string;

// Position from 1 of the first occurrence, 0 for none; an empty text is never found, nor found in.
std::size_t pos(const Text &sub, const Text &s)
{
    if (sub.empty() || s.empty())
        return 0;
    const std::size_t p = s.find(sub);
    return p == Text::npos ? 0 : p + 1;
}

Text rev(Text s)
{
    std::reverse(s.begin(), s.end());
    return s;
}

struct Criterion
{
    bool dallaFine, includiInizio, includiFine;
    std::int16_t salta;
    Text blocco, conta, inizio, fine, coda;
};

void reference(const std::vector<Text> &righe, std::vector<Text> &risultati, Criterion c)
{
    if (righe.empty())
        return;
    std::vector<Text> w;
    if (c.dallaFine)
        for (auto r = righe.rbegin(); r != righe.rend(); ++r)
            w.push_back(rev(*r));
    else
        w = righe;
    bool reversed = false;
    const auto flip = [&c, &reversed] {
        for (Text *m : {&c.blocco, &c.conta, &c.inizio, &c.fine})
            *m = rev(*m);
        reversed = !reversed;
    };
    std::size_t i = 0;
    while (i < w.size()) {
        if (c.dallaFine && !reversed)
            flip();
        Text l = w[i];
        const std::size_t p = pos(c.blocco, l);
        if (p != 0) {
            l.erase(0, p - 1);
            int counter = 0;
            const std::size_t last = w.size() - 1;
            for (std::size_t j = i; j <= last; ++j) {
                if (c.dallaFine && !reversed)
                    flip();
                if (j > i)
                    l = w[j];
                const std::size_t q = pos(c.conta, l);
                if (q == 0)
                    continue;
                ++counter;
                if (counter <= c.salta)
                    continue;
                if (!c.dallaFine) {
                    l.erase(0, q - 1);
                } else {
                    l = rev(l.substr(0, q + c.conta.size() - 1));
                    if (reversed)
                        flip();
                }
                const std::size_t m = pos(c.inizio, l);
                if (m == 0)
                    continue;
                l.erase(0, c.includiInizio ? m - 1 : m - 1 + c.inizio.size());
                const std::size_t f = pos(c.fine, l);
                if (f == 0)
                    continue;
                l = l.substr(0, c.includiFine ? f + c.fine.size() - 1 : f - 1);
                while (!l.empty() && c.coda.find(l.back()) != Text::npos)
                    l.pop_back();
                risultati.push_back(l);
                i = j;
                break;
            }
        }
        ++i;
    }
}

QByteArray bytes(const Text &t)
{
    return QByteArray(t.data(), static_cast<qsizetype>(t.size()));
}

} // namespace

// Byte 0: flags (1 backward, 2 include start, 4 include end); byte 1: skip count as a signed byte,
// or with flag 8 the next two bytes as a 16-bit count; then NUL-separated texts: block, count, start
// and end markers, trailing characters, and the entries.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    Criterion c {};
    c.dallaFine = data[0] & 1;
    c.includiInizio = data[0] & 2;
    c.includiFine = data[0] & 4;
    std::size_t at = 2;
    c.salta = static_cast<std::int8_t>(data[1]);
    if ((data[0] & 8) && size >= 4) {
        c.salta = static_cast<std::int16_t>(data[2] | data[3] << 8);
        at = 4;
    }
    std::vector<Text> parts;
    Text current;
    for (; at < size; ++at) {
        if (data[at] == 0) {
            parts.push_back(current);
            current.clear();
        } else {
            current.push_back(static_cast<char>(data[at]));
        }
    }
    parts.push_back(current);
    parts.resize(std::max<std::size_t>(parts.size(), 5));
    c.blocco = parts[0];
    c.conta = parts[1];
    c.inizio = parts[2];
    c.fine = parts[3];
    c.coda = parts[4];
    const std::vector<Text> righe(parts.begin() + 5, parts.end());

    // Pieces go after what the list already holds.
    std::vector<Text> expected {"earlier"};
    reference(righe, expected, c);

    QList<QByteArray> entries;
    for (const Text &r : righe)
        entries.append(bytes(r));
    QList<QByteArray> got {"earlier"};
    PaginaVersione::EstraiURLConCriterio(entries, got, c.dallaFine, bytes(c.blocco), bytes(c.conta), bytes(c.inizio),
                                         bytes(c.fine), bytes(c.coda), c.includiInizio, c.includiFine, c.salta);

    if (got.size() != static_cast<qsizetype>(expected.size()))
        std::abort();
    for (std::size_t k = 0; k < expected.size(); ++k)
        if (got[static_cast<qsizetype>(k)] != bytes(expected[k]))
            std::abort();
    // Reversing is its own inverse, byte by byte.
    for (const QByteArray &e : entries)
        if (PaginaVersione::invertiTesto(PaginaVersione::invertiTesto(e)) != e)
            std::abort();
    return 0;
}
