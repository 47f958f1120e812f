// How a product's version page is cut: the criterion and the maker's table of products.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

struct CriterioTaglio
{
    bool DallaFine = false;
    QByteArray MarcaBlocco;
    QByteArray MarcaConta;
    QByteArray MarcaInizio;
    QByteArray MarcaFine;
    QByteArray CaratteriCoda;
    bool IncludiInizio = false;
    bool IncludiFine = false;
    std::int16_t Salta = 0;

    bool operator==(const CriterioTaglio &other) const;
};

// The criterion for a product, looked up by its caption in lower case. An unknown product keeps
// the empty criterion, with which nothing is ever cut, so its every check ends without a number.
CriterioTaglio criterioPerProdotto(const QString &chiave);
