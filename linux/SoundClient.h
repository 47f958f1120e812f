// The seam's sound: the sound module, loaded the first time it is needed, or the bell in its place.
#pragma once

#include "linux/Modules.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <mutex>

// Tones and the message sound come from trillora-sound.so in `folder`, loaded on first use so that
// start-up maps neither ALSA nor libcanberra. Without a usable module the window system's bell
// stands in for each of them, a tone keeping its length so that the patterns keep their timing.
// The patterns play off the UI thread: every call may come from there, one at a time.
class SoundClient
{
public:
    // `identita`: the build identity the module must carry (empty: no module is loaded).
    SoundClient(const QString &folder, const QByteArray &identita);
    ~SoundClient();

    // Blocks for the tone's duration.
    void tone(int frequency, int msecs);
    // Starts the sound and returns at once.
    void messageSound(unsigned type);
    // Why the module cannot be used, or nothing when it can; loads it if it was not tried yet.
    QString fault();

private:
    SoundOutput *output();

    QString folder;
    QByteArray identita;
    std::mutex loading;
    bool tried = false;
    std::unique_ptr<SoundOutput> sound;
    QString reason;
};
