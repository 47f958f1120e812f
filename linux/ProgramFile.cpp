// Where the program's own file lies, which its companions and the alarm file lie beside.
#include "linux/ProgramFile.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace ProgramFile {

QString realPath()
{
    // /proc/self/exe names the executable's own file, not the link it was started through.
    const QString real = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    if (!real.isEmpty())
        return real;
    // Without /proc Qt goes by the name the program was started with; resolve that the same way.
    return QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath();
}

} // namespace ProgramFile
