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
using CreaSuono = SoundOutput *();
using CreaBrowser = Browser *(QWidget *parent);
}

// Each module carries this text followed by its build's identity (BuildIdentity.h) and a NUL, in
// its exported `trillora_identita`; the program reads it from the file before loading the module.
#define TRILLORA_MARCA_IDENTITA "trillora-identita:"

namespace Moduli {

inline constexpr char Suono[] = "trillora-sound.so";
inline constexpr char Rete[] = "trillora-network.so";

// The entry point `symbol` of the module `file` in `folder`; null when the module or the symbol
// cannot be had, with the reason in `errore`. A module whose file does not carry `identita`, the
// program's own build identity, is refused before the loader sees it: a module from another build
// (an install over the running program) may expect other layouts and symbols than this program's,
// and none of its code may run here.
// Every call reads the file and asks the loader again. What was loaded stays loaded to the end, so
// a caller that keeps the entry point it got need not ask twice.
QFunctionPointer entrata(const QString &folder, const char *file, const char *symbol, const QByteArray &identita,
                         QString &errore);

} // namespace Moduli
