// System tones on the default sound device through ALSA (which reaches PulseAudio or PipeWire).
#include "sound/ToneOutput.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <cmath>
#include <thread>

namespace {

constexpr double Amplitude = 0.5 * 32767.0;
constexpr int FadeMs = 5;
// The device's buffer: room for the lead and a whole tone of the patterns, so queuing one
// rarely has to wait.
constexpr unsigned BufferUs = 200000;
// A tone asked for this soon after the last one ended continues it.
constexpr auto Contiguous = std::chrono::milliseconds(10);

void discardMessage(const char *, int, const char *, int, const char *, ...) {}

std::size_t sampleCount(int msecs, int rate)
{
    if (msecs < 1 || rate < 1)
        return 0;
    return static_cast<std::size_t>(static_cast<std::int64_t>(rate) * msecs / 1000);
}

// ALSA's playback device, mono 16-bit at the tones' rate.
class AlsaPcm : public PcmDevice
{
public:
    explicit AlsaPcm(std::string name)
        : deviceName(std::move(name))
    {
    }
    ~AlsaPcm() override { AlsaPcm::close(); }

    bool open() override
    {
        if (pcm)
            return true;
        quietAlsa();
        if (snd_pcm_open(&pcm, deviceName.c_str(), SND_PCM_STREAM_PLAYBACK, 0) < 0) {
            pcm = nullptr;
            return false;
        }
        if (snd_pcm_set_params(pcm, SND_PCM_FORMAT_S16, SND_PCM_ACCESS_RW_INTERLEAVED, 1, ToneOutput::Rate, 1,
                               BufferUs)
            < 0) {
            close();
            return false;
        }
        return true;
    }

    void close() override
    {
        if (!pcm)
            return;
        snd_pcm_drop(pcm);
        snd_pcm_close(pcm);
        pcm = nullptr;
    }

    bool isOpen() const override { return pcm != nullptr; }

    bool playing() override { return pcm && snd_pcm_state(pcm) == SND_PCM_STATE_RUNNING; }

    bool write(const std::vector<std::int16_t> &samples) override
    {
        const std::int16_t *next = samples.data();
        auto left = static_cast<snd_pcm_uframes_t>(samples.size());
        while (left > 0) {
            const snd_pcm_sframes_t written = snd_pcm_writei(pcm, next, left);
            if (written < 0) {
                // An underrun or a suspend is recovered; anything else gives the device up.
                if (snd_pcm_recover(pcm, static_cast<int>(written), 1) < 0)
                    return false;
                continue;
            }
            next += written;
            left -= static_cast<snd_pcm_uframes_t>(written);
        }
        // The device would otherwise wait for a full buffer before it starts.
        if (snd_pcm_state(pcm) == SND_PCM_STATE_PREPARED)
            snd_pcm_start(pcm);
        return true;
    }

private:
    std::string deviceName;
    snd_pcm_t *pcm = nullptr;
};

class SteadyClock : public ToneClock
{
public:
    TimePoint now() override { return std::chrono::steady_clock::now(); }
    void sleepUntil(TimePoint when) override { std::this_thread::sleep_until(when); }
};

} // namespace

std::vector<std::int16_t> renderToneSlice(int frequency, std::size_t total, int rate, std::size_t from,
                                          std::size_t count)
{
    if (rate < 1 || from >= total)
        return {};
    count = std::min(count, total - from);
    std::vector<std::int16_t> samples(count, 0);
    if (frequency < 1)
        return samples;
    const std::size_t fade = std::min(total / 2, static_cast<std::size_t>(rate) * FadeMs / 1000);
    const double step = 2.0 * M_PI * frequency / rate;
    for (std::size_t k = 0; k < count; ++k) {
        const std::size_t i = from + k;
        double gain = 1.0;
        if (i < fade)
            gain = static_cast<double>(i) / fade;
        else if (total - i <= fade)
            gain = static_cast<double>(total - i - 1) / fade;
        samples[k] = static_cast<std::int16_t>(std::lround(Amplitude * gain * std::sin(step * static_cast<double>(i))));
    }
    return samples;
}

std::vector<std::int16_t> renderTone(int frequency, int msecs, int rate)
{
    const std::size_t total = sampleCount(msecs, rate);
    return renderToneSlice(frequency, total, rate, 0, total);
}

void quietAlsa()
{
    snd_lib_error_set_handler(&discardMessage);
}

ToneOutput::ToneOutput(const std::string &device)
    : ToneOutput(std::make_unique<AlsaPcm>(device), std::make_unique<SteadyClock>())
{
}

ToneOutput::ToneOutput(std::unique_ptr<PcmDevice> device, std::unique_ptr<ToneClock> toneClock)
    : pcm(std::move(device))
    , clock(std::move(toneClock))
{
    idle.setSingleShot(true);
    idle.setInterval(IdleCloseMs);
    QObject::connect(&idle, &QTimer::timeout, [this] {
        close();
        unusable = false;
    });
}

ToneOutput::~ToneOutput()
{
    close();
}

bool ToneOutput::deviceOpen() const
{
    return pcm->isOpen();
}

bool ToneOutput::open()
{
    if (pcm->isOpen())
        return true;
    if (unusable)
        return false;
    unusable = !pcm->open();
    return !unusable;
}

void ToneOutput::close()
{
    pcm->close();
}

void ToneOutput::play(int frequency, int msecs)
{
    if (msecs < 1)
        return;
    const ToneClock::TimePoint now = clock->now();
    // Starting where the last tone ended keeps the wake-ups' small lateness from adding up over a
    // pattern, and keeps the calls in step with the device, which plays without gaps.
    const ToneClock::TimePoint start = lastEnd && now >= *lastEnd && now - *lastEnd <= Contiguous ? *lastEnd : now;
    const ToneClock::TimePoint end = start + std::chrono::milliseconds(msecs);
    lastEnd = end;
    if (open()) {
        bool ok = pcm->playing() || pcm->write(std::vector<std::int16_t>(sampleCount(LeadMs, Rate), 0));
        // A tenth of a second at a time, so even a very long tone needs little memory.
        const std::size_t total = sampleCount(msecs, Rate);
        for (std::size_t from = 0; ok && from < total; from += Rate / 10)
            ok = pcm->write(renderToneSlice(frequency, total, Rate, from, Rate / 10));
        if (!ok) {
            close();
            unusable = true;
        }
    }
    idle.start();
    // With or without a device, the tone takes its time and no more.
    clock->sleepUntil(end);
}
