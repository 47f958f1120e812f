// The optional settings and language tables (placeholder: no translation yet).
#include "support/Tables.h"

namespace Fx {

QString LeggiImpostazione(const QString &)
{
    return {};
}

QString TraduciTesto(const QString &caption, const QString &)
{
    return caption;
}

void TraduciInterfaccia(const QList<Didascalia> &) {}

} // namespace Fx
