// File faults a test can make even when the suite runs as root: access as an ordinary user, and a
// folder on a read-only file system.
#pragma once

#include <QFile>
#include <QString>

#include <sched.h>
#include <sys/fsuid.h>
#include <sys/mount.h>
#include <unistd.h>

// While it lives, this thread's file accesses are checked as the user "nobody": root passes every
// permission bit, so a chmod alone makes nothing unreadable or unwritable for it.
class ComeUtenteComune
{
public:
    ComeUtenteComune()
        : attivo(::geteuid() == 0)
    {
        if (attivo) {
            ::setfsgid(65534);
            ::setfsuid(65534);
        }
    }
    ~ComeUtenteComune()
    {
        if (attivo) {
            ::setfsuid(0);
            ::setfsgid(0);
        }
    }
    ComeUtenteComune(const ComeUtenteComune &) = delete;
    ComeUtenteComune &operator=(const ComeUtenteComune &) = delete;

private:
    bool attivo;
};

// The folder mounted read-only over itself, as on a read-only medium. Only this thread sees it: it
// moves to a mount namespace of its own, so nothing outside the test is touched. Needs root (or the
// right to make namespaces); montata() says whether it worked.
class MontataSolaLettura
{
public:
    explicit MontataSolaLettura(const QString &cartella)
        : percorso(QFile::encodeName(cartella))
    {
        const char *p = percorso.constData();
        ok = ::unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0
            && ::mount(p, p, nullptr, MS_BIND, nullptr) == 0;
        if (ok && ::mount(nullptr, p, nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0) {
            ::umount2(p, MNT_DETACH);
            ok = false;
        }
    }
    ~MontataSolaLettura()
    {
        if (ok)
            ::umount2(percorso.constData(), MNT_DETACH);
    }
    MontataSolaLettura(const MontataSolaLettura &) = delete;
    MontataSolaLettura &operator=(const MontataSolaLettura &) = delete;

    bool montata() const { return ok; }

private:
    QByteArray percorso;
    bool ok = false;
};
