// The seam's sound: the sound module, loaded the first time it is needed, or the bell in its place.
#include "linux/SoundClient.h"

#include <QApplication>
#include <QThread>

#include <chrono>
#include <thread>

SoundClient::SoundClient(const QString &folder, const QByteArray &identita, std::function<void()> bell)
    : folder(folder)
    , identita(identita)
    , bell(std::move(bell))
{
}

void SoundClient::windowSystemBell()
{
    QApplication::beep();
}

// The bell belongs to the window system, which is spoken to from the UI thread alone; never waited
// for, as the UI thread may be waiting for the pattern.
void SoundClient::campanello()
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app)
        return;
    if (QThread::currentThread() == app->thread())
        bell();
    else
        QMetaObject::invokeMethod(app, bell, Qt::QueuedConnection);
}

SoundClient::~SoundClient()
{
    QThread *thread = soundThread ? soundThread->thread() : nullptr;
    if (thread && thread != QThread::currentThread() && thread->isRunning())
        QMetaObject::invokeMethod(soundThread.get(), [this] { sound.reset(); }, Qt::BlockingQueuedConnection);
}

CreaSuono *SoundClient::modulo()
{
    const std::lock_guard<std::mutex> lock(loading);
    if (!tried) {
        tried = true;
        crea = reinterpret_cast<CreaSuono *>(
            Moduli::entrata(folder, Moduli::Suono, "trillora_sound_create", identita, reason));
    }
    return crea;
}

SoundOutput *SoundClient::output()
{
    if (!sound) {
        if (CreaSuono *c = modulo()) {
            sound.reset(c());
            soundThread = std::make_unique<QObject>();
        }
    }
    return sound.get();
}

void SoundClient::tone(int frequency, int msecs)
{
    if (SoundOutput *s = output()) {
        s->tone(frequency, msecs);
        return;
    }
    campanello();
    if (msecs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(msecs));
}

void SoundClient::messageSound(unsigned type)
{
    if (SoundOutput *s = output())
        s->messageSound(type);
    else
        campanello();
}

QString SoundClient::fault()
{
    modulo();
    const std::lock_guard<std::mutex> lock(loading);
    return reason;
}
