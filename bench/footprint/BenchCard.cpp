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

struct Carta
{
    snd_pcm_ioplug_t io {};
    int timer = -1;
    bool inCorsa = false;
    timespec avvio {};
    // Frames given to the card since it was prepared.
    std::uint64_t scritti = 0;
};

Carta *carta(snd_pcm_ioplug_t *io)
{
    return static_cast<Carta *>(io->private_data);
}

std::int64_t nsDa(const timespec &from)
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (now.tv_sec - from.tv_sec) * 1000000000LL + (now.tv_nsec - from.tv_nsec);
}

// Frames the card has played: it moves a whole period at a time, as its interrupt does.
std::uint64_t suonati(snd_pcm_ioplug_t *io)
{
    const Carta *c = carta(io);
    if (!c->inCorsa)
        return 0;
    const auto frames = static_cast<std::uint64_t>(nsDa(c->avvio)) * io->rate / 1000000000ULL;
    return frames / io->period_size * io->period_size;
}

void arma(Carta *c, snd_pcm_ioplug_t *io, bool on)
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

int avvia(snd_pcm_ioplug_t *io)
{
    Carta *c = carta(io);
    clock_gettime(CLOCK_MONOTONIC, &c->avvio);
    c->inCorsa = true;
    arma(c, io, true);
    return 0;
}

int ferma(snd_pcm_ioplug_t *io)
{
    Carta *c = carta(io);
    c->inCorsa = false;
    arma(c, io, false);
    return 0;
}

int prepara(snd_pcm_ioplug_t *io)
{
    ferma(io);
    carta(io)->scritti = 0;
    return 0;
}

snd_pcm_sframes_t posizione(snd_pcm_ioplug_t *io)
{
    const Carta *c = carta(io);
    const std::uint64_t fatti = suonati(io);
    // Played past what it was given: the card has run dry.
    if (c->inCorsa && fatti > c->scritti)
        return -EPIPE;
    return static_cast<snd_pcm_sframes_t>(fatti % io->buffer_size);
}

snd_pcm_sframes_t trasferisci(snd_pcm_ioplug_t *io, const snd_pcm_channel_area_t *, snd_pcm_uframes_t,
                              snd_pcm_uframes_t size)
{
    carta(io)->scritti += size;
    return static_cast<snd_pcm_sframes_t>(size);
}

// Returns when the card has played everything, at the end of the period that holds the last frame.
int svuota(snd_pcm_ioplug_t *io)
{
    Carta *c = carta(io);
    if (!c->inCorsa && c->scritti > 0)
        avvia(io);
    const std::uint64_t fine = (c->scritti + io->period_size - 1) / io->period_size * io->period_size;
    const auto fineNs = static_cast<std::int64_t>(fine * 1000000000ULL / io->rate);
    const std::int64_t resto = fineNs - nsDa(c->avvio);
    if (resto > 0) {
        const timespec attesa {static_cast<time_t>(resto / 1000000000LL), static_cast<long>(resto % 1000000000LL)};
        nanosleep(&attesa, nullptr);
    }
    ferma(io);
    return 0;
}

int eventi(snd_pcm_ioplug_t *io, struct pollfd *, unsigned int, unsigned short *revents)
{
    std::uint64_t scaduti = 0;
    while (read(carta(io)->timer, &scaduti, sizeof scaduti) > 0) {
    }
    *revents = POLLOUT;
    return 0;
}

int chiudi(snd_pcm_ioplug_t *io)
{
    Carta *c = carta(io);
    close(c->timer);
    delete c;
    return 0;
}

const snd_pcm_ioplug_callback_t Richiami = [] {
    snd_pcm_ioplug_callback_t r {};
    r.start = avvia;
    r.stop = ferma;
    r.pointer = posizione;
    r.transfer = trasferisci;
    r.close = chiudi;
    r.prepare = prepara;
    r.drain = svuota;
    r.poll_revents = eventi;
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

    auto *c = new Carta;
    c->timer = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    c->io.version = SND_PCM_IOPLUG_VERSION;
    c->io.name = "Trillora benchmark card";
    c->io.callback = &Richiami;
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
    const unsigned int accesso[] = {SND_PCM_ACCESS_RW_INTERLEAVED};
    const unsigned int formati[] = {SND_PCM_FORMAT_S16_LE};
    const unsigned int periodi[] = {256, 512, 1024, 2048, 4096, 8192, 16384, 32768, 65536};
    const unsigned int tamponi[] = {1024, 2048, 4096, 8192, 16384, 32768, 65536, 131072, 262144, 524288, 1048576};
    if ((err = snd_pcm_ioplug_set_param_list(&c->io, SND_PCM_IOPLUG_HW_ACCESS, 1, accesso)) < 0
        || (err = snd_pcm_ioplug_set_param_list(&c->io, SND_PCM_IOPLUG_HW_FORMAT, 1, formati)) < 0
        || (err = snd_pcm_ioplug_set_param_minmax(&c->io, SND_PCM_IOPLUG_HW_CHANNELS, 1, 2)) < 0
        || (err = snd_pcm_ioplug_set_param_minmax(&c->io, SND_PCM_IOPLUG_HW_RATE, 8000, 192000)) < 0
        || (err = snd_pcm_ioplug_set_param_list(&c->io, SND_PCM_IOPLUG_HW_PERIOD_BYTES, 9, periodi)) < 0
        || (err = snd_pcm_ioplug_set_param_minmax(&c->io, SND_PCM_IOPLUG_HW_PERIODS, 2, 64)) < 0
        || (err = snd_pcm_ioplug_set_param_list(&c->io, SND_PCM_IOPLUG_HW_BUFFER_BYTES, 11, tamponi)) < 0) {
        snd_pcm_ioplug_delete(&c->io);
        return err;
    }
    *pcmp = c->io.pcm;
    return 0;
}

SND_PCM_PLUGIN_SYMBOL(trillora_bench_card);
}
