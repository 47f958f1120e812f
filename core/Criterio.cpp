// How a product's version page is cut: the criterion and the maker's table of products.
#include "core/Criterio.h"

#include <array>

namespace {

// Every page of the maker carries "Versione", a "-", the build number and a tag.
const CriterioTaglio criterioSito {
    false, QByteArrayLiteral("Versione"), QByteArrayLiteral("-"), QByteArrayLiteral("-"),
    QByteArrayLiteral("<"), QByteArray(), false, false, 0,
};

// The maker's products share one page format; the table keeps one row each so that a product
// whose page changes can be given its own criterion.
const std::array<const char *, 12> prodotti = {
    "tqz_agenda",    "tqz_rubrica",  "tqz_calcolatrice", "tqz_trillora",
    "tqz_promemoria", "tqz_cronometro", "tqz_magazzino",  "tqz_fatture",
    "tqz_biblioteca", "tqz_ricettario", "tqz_contapassi", "tqz_calendario",
};

} // namespace

bool CriterioTaglio::operator==(const CriterioTaglio &altro) const
{
    return DallaFine == altro.DallaFine && MarcaBlocco == altro.MarcaBlocco && MarcaConta == altro.MarcaConta
        && MarcaInizio == altro.MarcaInizio && MarcaFine == altro.MarcaFine
        && CaratteriCoda == altro.CaratteriCoda && IncludiInizio == altro.IncludiInizio
        && IncludiFine == altro.IncludiFine && Salta == altro.Salta;
}

CriterioTaglio criterioPerProdotto(const QString &chiave)
{
    CriterioTaglio criterio;
    for (const char *prodotto : prodotti) {
        if (chiave == QLatin1String(prodotto))
            criterio = criterioSito;
    }
    return criterio;
}
