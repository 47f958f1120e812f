// The parts of the platform seam that live in modules loaded on first use, and their loading.
#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

class Browser;
class QWidget;

// System tones and the desktop's message sound (ALSA and libcanberra), from trillora-sound.so.
class SoundOutput
{
public:
    virtual ~SoundOutput() = default;
    // Blocks for the tone's duration, with or without a usable device.
    virtual void tone(int frequency, int msecs) = 0;
    // Starts the sound and returns at once.
    virtual void messageSound(unsigned type) = 0;
};

// The modules' entry points, resolved by name.
extern "C" {
using CreateSound = SoundOutput *();
using CreateBrowser = Browser *(QWidget *parent);
}

// Each module carries this text followed by its build's identity (BuildIdentity.h) and a NUL, in
// its exported `trillora_identita`; the program reads it from the file before loading the module.
#define TRILLORA_MARCA_IDENTITA "trillora-identita:"

namespace Modules {

inline constexpr char Sound[] = "trillora-sound.so";
inline constexpr char Network[] = "trillora-network.so";

// The module `file` in `folder`, opened once. A module whose file does not carry `identity`, the
// program's own build identity, is refused before the loader sees it: a module from another build
// (an install over the running program) may expect other layouts and symbols than this program's,
// and none of its code may run here. What is loaded is what was read through the same open file,
// never the name again: a file put in its place after the check, or one the loader would have
// preferred beside it (Qt looks in a haswell/ folder first), is never mapped, so no code of a file
// that was not checked runs, not even its constructors.
class Module
{
public:
    Module(const QString &folder, const char *file, const QByteArray &identity);
    ~Module();
    Module(const Module &) = delete;
    Module &operator=(const Module &) = delete;

    // Why the module cannot be used; empty while it can.
    QString error() const { return reason; }
    // The entry point `symbol`, loading the module the first time; null with the reason in
    // error(). What was loaded stays loaded to the end.
    QFunctionPointer entry(const char *symbol);

private:
    QString path;
    // The open file; -1 once it is no longer this object's to close.
    int fd = -1;
    QString reason;
    void *handle = nullptr;
};

// The entry point `symbol` of the module `file` in `folder`, as Module gives it; null when the
// module or the symbol cannot be had, with the reason in `error`. Every call reads the file and
// asks the loader again, so a caller that keeps the entry point it got need not ask twice.
QFunctionPointer entry(const QString &folder, const char *file, const char *symbol, const QByteArray &identity,
                       QString &error);

} // namespace Modules
