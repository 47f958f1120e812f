// Loading of the platform seam's modules from the program's folder, after a check of their build.
#include "linux/Modules.h"

#include <QByteArrayView>
#include <QFile>

#include <cerrno>
#include <dlfcn.h>
#include <fcntl.h>
#include <link.h>
#include <unistd.h>

namespace Modules {

namespace {

// The build identity written in a module's file, empty when it carries none.
QByteArray fileIdentity(int fd)
{
    QFile module;
    if (!module.open(fd, QIODevice::ReadOnly, QFileDevice::DontCloseHandle))
        return {};
    const qint64 size = module.size();
    const uchar *data = size > 0 ? module.map(0, size) : nullptr;
    if (!data)
        return {};
    const QByteArrayView bytes(data, size);
    const QByteArrayView mark(TRILLORA_MARCA_IDENTITA);
    QByteArray identity;
    const qsizetype at = bytes.indexOf(mark);
    if (at >= 0) {
        const qsizetype start = at + mark.size();
        const qsizetype end = bytes.indexOf('\0', start);
        if (end > start)
            identity = bytes.sliced(start, end - start).toByteArray();
    }
    module.unmap(const_cast<uchar *>(data));
    return identity;
}

} // namespace

Module::Module(const QString &folder, const char *file, const QByteArray &identity)
    : path(folder + QLatin1Char('/') + QLatin1String(file))
    , fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC))
{
    if (fd < 0)
        reason = QStringLiteral("Impossibile leggere il modulo %1: %2").arg(path, qt_error_string(errno));
    else if (identity.isEmpty() || fileIdentity(fd) != identity)
        reason = QStringLiteral("%1: modulo di un'altra versione del programma: riavviare Trillora").arg(path);
}

Module::~Module()
{
    if (fd >= 0)
        ::close(fd);
}

QFunctionPointer Module::entry(const char *symbol)
{
    if (!reason.isEmpty())
        return nullptr;
    if (!handle) {
        // The open file itself, through its descriptor: the loader looks for nothing by name.
        const QByteArray ownPath = "/proc/self/fd/" + QByteArray::number(fd);
        handle = dlopen(ownPath.constData(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            reason = path + QStringLiteral(": ") + QString::fromLocal8Bit(dlerror());
            return nullptr;
        }
        // The loader knows a library by the name it was opened with before it looks at the file:
        // while this one is loaded under that name, the number stays taken, or a later module
        // opened on the same number would be handed this one.
        link_map *loaded = nullptr;
        if (dlinfo(handle, RTLD_DI_LINKMAP, &loaded) == 0 && loaded
            && ownPath == QByteArrayView(loaded->l_name))
            fd = -1;
    }
    const auto found = reinterpret_cast<QFunctionPointer>(dlsym(handle, symbol));
    if (!found)
        reason = path + QStringLiteral(": ") + QString::fromLocal8Bit(dlerror());
    return found;
}

QFunctionPointer entry(const QString &folder, const char *file, const char *symbol, const QByteArray &identity,
                       QString &error)
{
    Module module(folder, file, identity);
    const QFunctionPointer found = module.entry(symbol);
    if (!found)
        error = module.error();
    return found;
}

} // namespace Modules
