// Reading the maker's version page: the cutting routine, the two build numbers and the two addresses.
#include "core/VersionPage.h"

#include "core/IntegerText.h"

#include <QByteArrayView>
#include <algorithm>

namespace PaginaVersione {

namespace {

// Index of the first occurrence, or -1. An empty marker must never match, although indexOf would
// happily find it at the start of any text.
qsizetype firstIndex(QByteArrayView text, QByteArrayView marker)
{
    if (marker.isEmpty() || text.isEmpty())
        return -1;
    return text.indexOf(marker);
}

// The four markers of a backward search, kept in the direction of the text they are searched in.
class Markers
{
public:
    Markers(QByteArray block, QByteArray count, QByteArray start, QByteArray end)
        : block(std::move(block)), count(std::move(count)), start(std::move(start)), end(std::move(end))
    {
    }

    void turnBackward()
    {
        if (!reversed)
            flip();
    }
    void turnForward()
    {
        if (reversed)
            flip();
    }

    QByteArray block, count, start, end;

private:
    void flip()
    {
        for (QByteArray *m : {&block, &count, &start, &end})
            *m = invertiTesto(*m);
        reversed = !reversed;
    }
    bool reversed = false;
};

} // namespace

QByteArray invertiTesto(const QByteArray &Testo)
{
    QByteArray rovescio(Testo);
    std::reverse(rovescio.begin(), rovescio.end());
    return rovescio;
}

void EstraiURLConCriterio(const QList<QByteArray> &Righe, QList<QByteArray> &Risultati, bool DallaFine,
                          QByteArray MarcaBlocco, QByteArray MarcaConta, QByteArray MarcaInizio,
                          QByteArray MarcaFine, const QByteArray &CaratteriCoda, bool IncludiInizio,
                          bool IncludiFine, std::int16_t Salta)
{
    if (Righe.isEmpty())
        return;

    // Backwards, the entries are taken last to first and each reversed, so that reading the working
    // list in order reads the whole text from its end.
    QList<QByteArray> W;
    if (DallaFine) {
        W.reserve(Righe.size());
        for (auto r = Righe.crbegin(); r != Righe.crend(); ++r)
            W.append(invertiTesto(*r));
    } else {
        W = Righe;
    }

    Markers m(std::move(MarcaBlocco), std::move(MarcaConta), std::move(MarcaInizio), std::move(MarcaFine));
    const qsizetype fineW = W.size();

    for (qsizetype i = 0; i < fineW; ++i) {
        if (DallaFine)
            m.turnBackward();
        const qsizetype p = firstIndex(W[i], m.block);
        if (p < 0)
            continue;
        const QByteArrayView dalBlocco = QByteArrayView(W[i]).sliced(p);

        int contate = 0;
        for (qsizetype j = i; j < fineW; ++j) {
            if (DallaFine)
                m.turnBackward();
            // Entries after the block's own are taken whole, from their first character.
            QByteArrayView L = j == i ? dalBlocco : QByteArrayView(W[j]);
            const qsizetype q = firstIndex(L, m.count);
            if (q < 0)
                continue;
            // Entries are counted, not occurrences: only the first one of an entry is ever used.
            if (++contate <= Salta)
                continue;

            QByteArray inLettura;
            if (DallaFine) {
                // Everything up to the end of the counted marker, turned back into reading order.
                inLettura = invertiTesto(L.first(q + m.count.size()).toByteArray());
                L = inLettura;
                m.turnForward();
            } else {
                L = L.sliced(q);
            }

            const qsizetype inizio = firstIndex(L, m.start);
            if (inizio < 0)
                continue;
            L = L.sliced(IncludiInizio ? inizio : inizio + m.start.size());

            const qsizetype fine = firstIndex(L, m.end);
            if (fine < 0)
                continue;
            L = L.first(IncludiFine ? fine + m.end.size() : fine);

            while (!L.isEmpty() && CaratteriCoda.contains(L.back()))
                L.chop(1);

            Risultati.append(L.toByteArray());
            // One entry gives at most one piece: the search resumes after the entry where this one ended.
            i = j;
            break;
        }
    }
}

std::optional<std::int32_t> leggiVersioneAttuale(const QString &testoVersione)
{
    return testoInIntero(testoVersione.mid(8));
}

std::optional<std::int32_t> leggiNumeroPagina(const std::optional<QString> &primoPezzo)
{
    if (!primoPezzo)
        return std::nullopt;
    return testoInIntero(*primoPezzo);
}

std::int32_t leggiVersioneDisponibile(const std::optional<QString> &primoPezzo)
{
    return leggiNumeroPagina(primoPezzo).value_or(-1);
}

bool eVersioneNuova(std::int32_t disponibile, std::int32_t attuale)
{
    return disponibile > attuale;
}

QString indirizzoControllo(const QString &host, const QString &nomePrg)
{
    return QStringLiteral("http://") + host + QStringLiteral("/index.php?show=ctrlvers&prg=") + nomePrg;
}

QString indirizzoScaricamento(const QString &host, const QString &codiceProdotto)
{
    return QStringLiteral("http://") + host + QStringLiteral("/prg/") + codiceProdotto.toLower()
        + QStringLiteral(".exe");
}

} // namespace PaginaVersione
