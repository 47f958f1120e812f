// Loading of the platform seam's modules from the program's folder, after a check of their build.
#include "linux/Modules.h"

#include <QByteArrayView>
#include <QFile>
#include <QLibrary>

namespace Moduli {

namespace {

// The build identity written in a module's file, empty when it carries none.
QByteArray identitaDelFile(QFile &module)
{
    const qint64 size = module.size();
    const uchar *data = size > 0 ? module.map(0, size) : nullptr;
    if (!data)
        return {};
    const QByteArrayView bytes(data, size);
    const QByteArrayView marca(TRILLORA_MARCA_IDENTITA);
    QByteArray identita;
    const qsizetype at = bytes.indexOf(marca);
    if (at >= 0) {
        const qsizetype start = at + marca.size();
        const qsizetype end = bytes.indexOf('\0', start);
        if (end > start)
            identita = bytes.sliced(start, end - start).toByteArray();
    }
    module.unmap(const_cast<uchar *>(data));
    return identita;
}

} // namespace

QFunctionPointer entrata(const QString &folder, const char *file, const char *symbol, const QByteArray &identita,
                         QString &errore)
{
    const QString path = folder + QLatin1Char('/') + QLatin1String(file);
    QFile contenuto(path);
    if (!contenuto.open(QIODevice::ReadOnly)) {
        errore = QStringLiteral("Impossibile leggere il modulo %1: %2").arg(path, contenuto.errorString());
        return nullptr;
    }
    if (identita.isEmpty() || identitaDelFile(contenuto) != identita) {
        errore = QStringLiteral("%1: modulo di un'altra versione del programma: riavviare Trillora").arg(path);
        return nullptr;
    }
    // A QLibrary object that goes away leaves its library loaded.
    QLibrary module(path);
    const QFunctionPointer entry = module.resolve(symbol);
    if (!entry)
        errore = module.errorString();
    return entry;
}

} // namespace Moduli
