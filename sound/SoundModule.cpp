// The sound module: tones through ALSA and the message sound through libcanberra, loaded on the first alarm.
#include "BuildIdentity.h"
#include "linux/Modules.h"
#include "sound/MessageSound.h"
#include "sound/ToneOutput.h"

#include <QtGlobal>

namespace {

class LinuxSound : public SoundOutput
{
public:
    void tone(int frequency, int msecs) override { tones.play(frequency, msecs); }
    void messageSound(unsigned type) override { playMessageSound(type); }

private:
    ToneOutput tones;
};

} // namespace

// Read from the file by the program before it loads the module (Modules.h).
extern "C" Q_DECL_EXPORT const char trillora_identita[] = TRILLORA_MARCA_IDENTITA TRILLORA_IDENTITA;

extern "C" Q_DECL_EXPORT SoundOutput *trillora_sound_create()
{
    return new LinuxSound;
}
