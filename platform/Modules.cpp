// Loading of the platform seam's modules from the program's folder.
#include "platform/Modules.h"

#include <QLibrary>

namespace Moduli {

QFunctionPointer entrata(const QString &folder, const char *file, const char *symbol, QString *errore)
{
    // A QLibrary object that goes away leaves its library loaded; a later call finds it again.
    QLibrary module(folder + QLatin1Char('/') + QLatin1String(file));
    const QFunctionPointer entry = module.resolve(symbol);
    if (!entry && errore)
        *errore = module.errorString();
    return entry;
}

} // namespace Moduli
