// Reading the maker's version page: the cutting routine, the two build numbers and the two addresses.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <cstdint>
#include <optional>

namespace PaginaVersione {

// The characters in reverse order, byte by byte.
QByteArray invertiTesto(const QByteArray &Testo);

// Finds the pieces delimited by the markers in Righe (8-bit text, one entry per "line", line breaks
// inside an entry are ordinary characters) and appends them to Risultati; nothing there is removed.
// An empty marker is never found. DallaFine searches the whole text from its end backwards.
void EstraiURLConCriterio(const QList<QByteArray> &Righe, QList<QByteArray> &Risultati, bool DallaFine,
                          QByteArray MarcaBlocco, QByteArray MarcaConta, QByteArray MarcaInizio,
                          QByteArray MarcaFine, const QByteArray &CaratteriCoda, bool IncludiInizio,
                          bool IncludiFine, std::int16_t Salta);

// The installed build: the version text after its first eight characters ("04.2002-18" gives 18).
std::optional<std::int32_t> leggiVersioneAttuale(const QString &testoVersione);

// The number in the first piece cut from the page; none when there is no piece or it is not a
// whole number.
std::optional<std::int32_t> leggiNumeroPagina(const std::optional<QString> &primoPezzo);
// The same as the available build, -1 standing for "none".
std::int32_t leggiVersioneDisponibile(const std::optional<QString> &primoPezzo);

// Whether the page offers a newer build; -1 (nothing read) is never newer.
bool eVersioneNuova(std::int32_t disponibile, std::int32_t attuale);

// The version page: the caption goes into the query exactly as shown, neither lower-cased nor escaped.
QString indirizzoControllo(const QString &host, const QString &nomePrg);
// The installer of the product on the same site.
QString indirizzoScaricamento(const QString &host, const QString &codiceProdotto);

} // namespace PaginaVersione
