// Helpers shared by the benchmarks: quiet Qt notes, waiting in the event loop, the program's folder.
#pragma once

#include <QCoreApplication>
#include <QEventLoop>
#include <QString>
#include <QTimer>
#include <cstdio>

namespace Bench {

// The platform plugins' notes ("does not support raise()") would bury the figures; errors stay.
inline void errorsOnly(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg && type != QtInfoMsg && type != QtWarningMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

// Before the application object: the offscreen platform unless QT_QPA_PLATFORM names another,
// and only errors printed.
inline void headless()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(errorsOnly);
}

// Runs the event loop for `ms` milliseconds.
inline void spin(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// The build folder, where the program and its modules are: two folders up from a benchmark.
inline QString programFolder()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../..");
}

} // namespace Bench
