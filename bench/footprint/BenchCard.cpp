// A sound card for the pattern benchmark: an ALSA plug-in that plays nothing but takes samples at
// its rate, a period at a time, as a real card does, so full buffers and drains take real time.
// Its periods are a power of two in size, as with dmix (ALSA's default mixer) and most cards.
#include <alsa/asoundlib.h>
#include <alsa/pcm_external.h>

#include <cerrno>
#include <string_view>
#include <cstdint>
#include <ctime>
#include <poll.h>
#include <sys/timerfd.h>
#include <unistd.h>

namespace {

struct Card
{
    snd_pcm_ioplug_t io {};
    int timer = -1;
    bool running = false;
    timespec startedAt {};
    // Frames given to the card since it was prepared.
    std::uint64_t written = 0;
};

Card *card(snd_pcm_ioplug_t *io)
{
    return static_cast<Card *>(io->private_data);
}

std::int64_t nsSince(const timespec &from)
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (now.tv_sec - from.tv_sec) * 1000000000LL + (now.tv_nsec - from.tv_nsec);
}

// Frames the card has played: it moves a whole period at a time, as its interrupt does.
std::uint64_t framesPlayed(snd_pcm_ioplug_t *io)
{
    const Card *c = card(io);
    if (!c->running)
        return 0;
    const auto frames = static_cast<std::uint64_t>(nsSince(c->startedAt)) * io->rate / 1000000000ULL;
    return frames / io->period_size * io->period_size;
}

void arm(Card *c, snd_pcm_ioplug_t *io, bool on)
{
    itimerspec t {};
    if (on) {
        const long periodNs = static_cast<long>(io->period_size * 1000000000ULL / io->rate);
        t.it_interval.tv_sec = periodNs / 1000000000L;
        t.it_interval.tv_nsec = periodNs % 1000000000L;
        t.it_value = t.it_interval;
    }
    timerfd_settime(c->timer, 0, &t, nullptr);
}

int startCard(snd_pcm_ioplug_t *io)
{
    Card *c = card(io);
    clock_gettime(CLOCK_MONOTONIC, &c->startedAt);
    c->running = true;
    arm(c, io, true);
    return 0;
}

int stopCard(snd_pcm_ioplug_t *io)
{
    Card *c = card(io);
    c->running = false;
    arm(c, io, false);
    return 0;
}

int prepareCard(snd_pcm_ioplug_t *io)
{
    stopCard(io);
    card(io)->written = 0;
    return 0;
}

snd_pcm_sframes_t position(snd_pcm_ioplug_t *io)
{
    const Card *c = card(io);
    const std::uint64_t played = framesPlayed(io);
    // Played past what it was given: the card has run dry.
    if (c->running && played > c->written)
        return -EPIPE;
    return static_cast<snd_pcm_sframes_t>(played % io->buffer_size);
}

snd_pcm_sframes_t transferFrames(snd_pcm_ioplug_t *io, const snd_pcm_channel_area_t *, snd_pcm_uframes_t,
                                 snd_pcm_uframes_t size)
{
    card(io)->written += size;
    return static_cast<snd_pcm_sframes_t>(size);
}

// Returns when the card has played everything, at the end of the period that holds the last frame.
int drainCard(snd_pcm_ioplug_t *io)
{
    Card *c = card(io);
    if (!c->running && c->written > 0)
        startCard(io);
    const std::uint64_t endFrame = (c->written + io->period_size - 1) / io->period_size * io->period_size;
    const auto endNs = static_cast<std::int64_t>(endFrame * 1000000000ULL / io->rate);
    const std::int64_t remaining = endNs - nsSince(c->startedAt);
    if (remaining > 0) {
        const timespec delay {static_cast<time_t>(remaining / 1000000000LL),
                              static_cast<long>(remaining % 1000000000LL)};
        nanosleep(&delay, nullptr);
    }
    stopCard(io);
    return 0;
}

int pollEvents(snd_pcm_ioplug_t *io, struct pollfd *, unsigned int, unsigned short *revents)
{
    std::uint64_t expirations = 0;
    while (read(card(io)->timer, &expirations, sizeof expirations) > 0) {
    }
    *revents = POLLOUT;
    return 0;
}

int closeCard(snd_pcm_ioplug_t *io)
{
    Card *c = card(io);
    close(c->timer);
    delete c;
    return 0;
}

const snd_pcm_ioplug_callback_t Callbacks = [] {
    snd_pcm_ioplug_callback_t r {};
    r.start = startCard;
    r.stop = stopCard;
    r.pointer = position;
    r.transfer = transferFrames;
    r.close = closeCard;
    r.prepare = prepareCard;
    r.drain = drainCard;
    r.poll_revents = pollEvents;
    return r;
}();

} // namespace

extern "C" {

SND_PCM_PLUGIN_DEFINE_FUNC(trillora_bench_card)
{
    (void)root;
    snd_config_iterator_t i, next;
    snd_config_for_each(i, next, conf)
    {
        snd_config_t *n = snd_config_iterator_entry(i);
        const char *id = nullptr;
        if (snd_config_get_id(n, &id) < 0)
            continue;
        const std::string_view key(id);
        if (key != "comment" && key != "type" && key != "hint")
            return -EINVAL;
    }
    if (stream != SND_PCM_STREAM_PLAYBACK)
        return -EINVAL;

    auto *c = new Card;
    c->timer = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    c->io.version = SND_PCM_IOPLUG_VERSION;
    c->io.name = "Trillora benchmark card";
    c->io.callback = &Callbacks;
    c->io.private_data = c;
    c->io.poll_fd = c->timer;
    c->io.poll_events = POLLIN;
    c->io.mmap_rw = 0;
    int err = snd_pcm_ioplug_create(&c->io, name, stream, mode);
    if (err < 0) {
        close(c->timer);
        delete c;
        return err;
    }
    const unsigned int accesses[] = {SND_PCM_ACCESS_RW_INTERLEAVED};
    const unsigned int formats[] = {SND_PCM_FORMAT_S16_LE};
    const unsigned int periodBytes[] = {256, 512, 1024, 2048, 4096, 8192, 16384, 32768, 65536};
    const unsigned int bufferBytes[] = {1024, 2048, 4096, 8192, 16384, 32768, 65536, 131072, 262144, 524288, 1048576};
    if ((err = snd_pcm_ioplug_set_param_list(&c->io, SND_PCM_IOPLUG_HW_ACCESS, 1, accesses)) < 0
        || (err = snd_pcm_ioplug_set_param_list(&c->io, SND_PCM_IOPLUG_HW_FORMAT, 1, formats)) < 0
        || (err = snd_pcm_ioplug_set_param_minmax(&c->io, SND_PCM_IOPLUG_HW_CHANNELS, 1, 2)) < 0
        || (err = snd_pcm_ioplug_set_param_minmax(&c->io, SND_PCM_IOPLUG_HW_RATE, 8000, 192000)) < 0
        || (err = snd_pcm_ioplug_set_param_list(&c->io, SND_PCM_IOPLUG_HW_PERIOD_BYTES, 9, periodBytes)) < 0
        || (err = snd_pcm_ioplug_set_param_minmax(&c->io, SND_PCM_IOPLUG_HW_PERIODS, 2, 64)) < 0
        || (err = snd_pcm_ioplug_set_param_list(&c->io, SND_PCM_IOPLUG_HW_BUFFER_BYTES, 11, bufferBytes)) < 0) {
        snd_pcm_ioplug_delete(&c->io);
        return err;
    }
    *pcmp = c->io.pcm;
    return 0;
}

SND_PCM_PLUGIN_SYMBOL(trillora_bench_card);
}
