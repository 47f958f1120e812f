// System tones on the default sound device (placeholder until the ALSA output lands).
#include "platform/ToneOutput.h"

#include <QThread>

ToneOutput::ToneOutput() = default;
ToneOutput::~ToneOutput() = default;

void ToneOutput::play(int, int msecs)
{
    if (msecs > 0)
        QThread::msleep(static_cast<unsigned long>(msecs));
}
