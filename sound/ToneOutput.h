// System tones on the default sound device, and the samples that make them.
#pragma once

#include <QTimer>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// One tone as 16-bit mono samples at `rate`: a sine of the frequency for the duration, with
// short fades at both ends so that tones played back to back do not click. A frequency below 1
// gives silence of the same length; a duration below 1 gives no samples.
std::vector<std::int16_t> renderTone(int frequency, int msecs, int rate);
// Samples [from, from + count) of a tone `total` samples long: a long tone is made a slice at a time.
std::vector<std::int16_t> renderToneSlice(int frequency, std::size_t total, int rate, std::size_t from,
                                          std::size_t count);

// Keeps alsa-lib's own messages off stderr; a missing sound card is not the user's business.
void quietAlsa();

// Where the samples go: a PCM playback device (ALSA's, or a stand-in in tests).
class PcmDevice
{
public:
    virtual ~PcmDevice() = default;
    // Opens the device if it is not open; false when it cannot be had.
    virtual bool open() = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // True while the device still has samples queued to play; false before the first samples
    // and once it has played out everything it was given.
    virtual bool playing() = 0;
    // Queues the samples, waiting while the device's buffer is full; false if the device failed.
    virtual bool write(const std::vector<std::int16_t> &samples) = 0;
};

// The time the tones keep (the steady clock, or a stand-in in tests).
class ToneClock
{
public:
    using TimePoint = std::chrono::steady_clock::time_point;
    virtual ~ToneClock() = default;
    virtual TimePoint now() = 0;
    virtual void sleepUntil(TimePoint when) = 0;
};

// Each tone lasts exactly its duration on the wall clock: its samples are queued on the device
// and the call returns when its time is up, never waiting for the device to play them out. A
// short lead of silence goes before the first tone after the device has been idle, so the device
// always holds that much ahead of what is being played and a late wake-up does not starve it;
// the sound follows the calls by that lead.
class ToneOutput
{
public:
    static constexpr int Rate = 48000;
    static constexpr int LeadMs = 50;
    // The device stays open this long after a tone, so a pattern's tones do not each pay an opening.
    static constexpr int IdleCloseMs = 1000;

    // ALSA's device of that name and the steady clock.
    explicit ToneOutput(const std::string &device = "default");
    ToneOutput(std::unique_ptr<PcmDevice> device, std::unique_ptr<ToneClock> clock);
    ~ToneOutput();
    ToneOutput(const ToneOutput &) = delete;
    ToneOutput &operator=(const ToneOutput &) = delete;

    // Blocks for the tone's duration, with or without a usable device.
    void play(int frequency, int msecs);
    bool deviceOpen() const;

private:
    bool open();
    void close();

    std::unique_ptr<PcmDevice> pcm;
    std::unique_ptr<ToneClock> clock;
    // A failed opening is not retried until the device has been idle, so a pattern on a machine
    // without sound does not try once per tone.
    bool unusable = false;
    // Where the last tone ended: the next one, if it follows at once, starts exactly there.
    std::optional<ToneClock::TimePoint> lastEnd;
    // Single-shot; it can fire only once the blocking pattern is back in the event loop.
    QTimer idle;
};
