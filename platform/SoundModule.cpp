// The sound module: tones through ALSA and the message sound through libcanberra, loaded on the first alarm.
#include "platform/MessageSound.h"
#include "platform/Modules.h"
#include "platform/ToneOutput.h"

#include <QtGlobal>

namespace {

class SuonoLinux : public SoundOutput
{
public:
    void tone(int frequency, int msecs) override { tones.play(frequency, msecs); }
    void messageSound(unsigned type) override { playMessageSound(type); }

private:
    ToneOutput tones;
};

} // namespace

extern "C" Q_DECL_EXPORT SoundOutput *trillora_sound_create()
{
    return new SuonoLinux;
}
