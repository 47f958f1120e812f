// Linked into every test: the process ends only after the threads that were ending have ended.
//
// A QThread is detached: its wait() returns before the thread has freed its thread data and
// glibc's per-thread buffers, and a process that ends in that gap leaves LeakSanitizer blocks it
// reports as lost. It happens to QtTest's watchdog, stopped as the last test function returns,
// and to the ringing window's sound thread, stopped as the application goes. A thread's entry
// leaves /proc/self/task only once the thread is wholly gone. Threads that live to the end (the
// D-Bus connection's) are still there when the wait gives up; their memory is still reachable.
#include <QDir>
#include <QElapsedTimer>
#include <QThread>

namespace {

struct ExitAfterThreads
{
    ~ExitAfterThreads()
    {
        QElapsedTimer waited;
        waited.start();
        const auto others = [] {
            return QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size() - 1;
        };
        while (others() > 0 && waited.elapsed() < 500)
            QThread::msleep(1);
    }
} exitAfterThreads;

} // namespace
