// Loading of the platform seam's modules from the program's folder, after a check of their build.
#include "linux/Modules.h"

#include <QByteArrayView>
#include <QFile>

#include <cerrno>
#include <dlfcn.h>
#include <fcntl.h>
#include <link.h>
#include <unistd.h>

namespace Moduli {

namespace {

// The build identity written in a module's file, empty when it carries none.
QByteArray identitaDelFile(int fd)
{
    QFile module;
    if (!module.open(fd, QIODevice::ReadOnly, QFileDevice::DontCloseHandle))
        return {};
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

Modulo::Modulo(const QString &folder, const char *file, const QByteArray &identita)
    : path(folder + QLatin1Char('/') + QLatin1String(file))
    , fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC))
{
    if (fd < 0)
        motivo = QStringLiteral("Impossibile leggere il modulo %1: %2").arg(path, qt_error_string(errno));
    else if (identita.isEmpty() || identitaDelFile(fd) != identita)
        motivo = QStringLiteral("%1: modulo di un'altra versione del programma: riavviare Trillora").arg(path);
}

Modulo::~Modulo()
{
    if (fd >= 0)
        ::close(fd);
}

QFunctionPointer Modulo::entrata(const char *symbol)
{
    if (!motivo.isEmpty())
        return nullptr;
    if (!handle) {
        // The open file itself, through its descriptor: the loader looks for nothing by name.
        const QByteArray proprio = "/proc/self/fd/" + QByteArray::number(fd);
        handle = dlopen(proprio.constData(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            motivo = path + QStringLiteral(": ") + QString::fromLocal8Bit(dlerror());
            return nullptr;
        }
        // The loader knows a library by the name it was opened with before it looks at the file:
        // while this one is loaded under that name, the number stays taken, or a later module
        // opened on the same number would be handed this one.
        link_map *caricato = nullptr;
        if (dlinfo(handle, RTLD_DI_LINKMAP, &caricato) == 0 && caricato
            && proprio == QByteArrayView(caricato->l_name))
            fd = -1;
    }
    const auto entry = reinterpret_cast<QFunctionPointer>(dlsym(handle, symbol));
    if (!entry)
        motivo = path + QStringLiteral(": ") + QString::fromLocal8Bit(dlerror());
    return entry;
}

QFunctionPointer entrata(const QString &folder, const char *file, const char *symbol, const QByteArray &identita,
                         QString &errore)
{
    Modulo module(folder, file, identita);
    const QFunctionPointer entry = module.entrata(symbol);
    if (!entry)
        errore = module.errore();
    return entry;
}

} // namespace Moduli
