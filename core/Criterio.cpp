// How a product's version page is cut: the criterion and the maker's table of products.
#include "core/Criterio.h"

#include <array>

namespace {

// Every page of the maker carries "Versione", a "-", the build number and a tag.
const CriterioTaglio siteCriterion {
    false, QByteArrayLiteral("Versione"), QByteArrayLiteral("-"), QByteArrayLiteral("-"),
    QByteArrayLiteral("<"), QByteArray(), false, false, 0,
};

// The maker's products share one page format; the table keeps one row each so that a product
// whose page changes can be given its own criterion.
const std::array<const char *, 12> products = {
    "tqz_agenda",    "tqz_rubrica",  "tqz_calcolatrice", "tqz_trillora",
    "tqz_promemoria", "tqz_cronometro", "tqz_magazzino",  "tqz_fatture",
    "tqz_biblioteca", "tqz_ricettario", "tqz_contapassi", "tqz_calendario",
};

} // namespace

bool CriterioTaglio::operator==(const CriterioTaglio &other) const
{
    return DallaFine == other.DallaFine && MarcaBlocco == other.MarcaBlocco && MarcaConta == other.MarcaConta
        && MarcaInizio == other.MarcaInizio && MarcaFine == other.MarcaFine
        && CaratteriCoda == other.CaratteriCoda && IncludiInizio == other.IncludiInizio
        && IncludiFine == other.IncludiFine && Salta == other.Salta;
}

CriterioTaglio criterioPerProdotto(const QString &chiave)
{
    CriterioTaglio criterio;
    for (const char *prodotto : products) {
        if (chiave == QLatin1String(prodotto))
            criterio = siteCriterion;
    }
    return criterio;
}
