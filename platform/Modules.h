// The parts of the platform seam that live in modules loaded on first use, and their loading.
#pragma once

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

namespace Moduli {

inline constexpr char Suono[] = "trillora-sound.so";
inline constexpr char Rete[] = "trillora-network.so";

// The entry point `symbol` of the module `file` in `folder`, loaded on the first call and kept
// loaded to the end; null when the module or the symbol cannot be had, with the reason in `errore`.
QFunctionPointer entrata(const QString &folder, const char *file, const char *symbol, QString *errore = nullptr);

} // namespace Moduli
