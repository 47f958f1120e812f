// Tones on Linux: the rendered samples, the timing of a pattern's tones on a stand-in device and
// clock, and playing through ALSA into a file device or no device at all.
#include "sound/ToneOutput.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

using namespace std::chrono;
using namespace std::chrono_literals;

// A clock that moves only when someone sleeps; each wake-up may come a little late, as on a busy machine.
class OrologioFinto : public ToneClock
{
public:
    TimePoint t {};
    milliseconds ritardo {0};

    TimePoint now() override { return t; }
    void sleepUntil(TimePoint when) override { t = std::max(t, when) + ritardo; }
};

// A sound card on that clock: it plays what it is given at 48 kHz without gaps while it has
// something queued, and a writer waits while more than its 200 ms buffer is queued.
class PcmFinto : public PcmDevice
{
public:
    struct Scrittura
    {
        std::size_t campioni;
        bool silenzio;
        // Whether the device still had something to play when the samples came.
        bool suonava;
    };

    OrologioFinto &clock;
    bool apribile = true;
    bool aperto = false;
    int aperture = 0;
    ToneClock::TimePoint fineCoda {};
    std::vector<Scrittura> scritture;

    explicit PcmFinto(OrologioFinto &c)
        : clock(c)
    {
    }

    bool open() override
    {
        ++aperture;
        aperto = apribile;
        return aperto;
    }
    void close() override { aperto = false; }
    bool isOpen() const override { return aperto; }
    bool playing() override { return aperto && clock.now() < fineCoda; }
    bool write(const std::vector<std::int16_t> &samples) override
    {
        const bool suonava = playing();
        if (!suonava)
            fineCoda = clock.now();
        fineCoda += microseconds(samples.size() * 1000000 / ToneOutput::Rate);
        scritture.push_back({samples.size(), std::all_of(samples.begin(), samples.end(), [](auto s) { return s == 0; }),
                             suonava});
        if (fineCoda - clock.now() > 200ms)
            clock.t = fineCoda - 200ms;
        return true;
    }
};

struct Banco
{
    OrologioFinto *clock = new OrologioFinto;
    PcmFinto *pcm = new PcmFinto(*clock);
    ToneOutput out {std::unique_ptr<PcmDevice>(pcm), std::unique_ptr<ToneClock>(clock)};

    milliseconds trascorso(ToneClock::TimePoint from) const { return duration_cast<milliseconds>(clock->t - from); }
};

constexpr std::size_t CampioniAnticipo = ToneOutput::LeadMs * ToneOutput::Rate / 1000;

} // namespace

class TestToneOutput : public QObject
{
    Q_OBJECT

    QTemporaryDir home;

    QString registrazione() const { return home.filePath(QStringLiteral("out.wav")); }

    // Upward zero crossings: one per period of a clean sine.
    static int saliteDaZero(const std::vector<std::int16_t> &samples)
    {
        int count = 0;
        for (std::size_t i = 1; i < samples.size(); ++i)
            count += samples[i - 1] < 0 && samples[i] >= 0 ? 1 : 0;
        return count;
    }

    // Bytes of sound in the recorded WAV file, past its 44-byte header.
    qint64 byteRegistrati() const { return QFileInfo(registrazione()).size() - 44; }

private slots:
    void initTestCase()
    {
        // ALSA's "default" becomes a file over the null device: nothing is heard, everything is kept.
        QFile rc(home.filePath(QStringLiteral(".asoundrc")));
        QVERIFY(rc.open(QIODevice::WriteOnly));
        rc.write(QStringLiteral("pcm.!default { type file slave.pcm \"null\" file \"%1\" format \"wav\" }\n")
                     .arg(registrazione())
                     .toUtf8());
        rc.close();
        qputenv("HOME", home.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
    }

    void render_data()
    {
        QTest::addColumn<int>("frequency");
        QTest::addColumn<int>("msecs");
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("samples");

        QTest::newRow("1000 Hz for 100 ms at 48 kHz") << 1000 << 100 << 48000 << 4800;
        QTest::newRow("1150 Hz for 100 ms at 48 kHz") << 1150 << 100 << 48000 << 4800;
        QTest::newRow("37 Hz for 1 s at 48 kHz") << 37 << 1000 << 48000 << 48000;
        QTest::newRow("440 Hz for 250 ms at 44.1 kHz") << 440 << 250 << 44100 << 11025;
        QTest::newRow("no duration, no samples") << 1000 << 0 << 48000 << 0;
        QTest::newRow("duration -1, no samples") << 1000 << -1 << 48000 << 0;
        QTest::newRow("no frequency, silence of the whole length") << 0 << 100 << 48000 << 4800;
    }

    void render()
    {
        QFETCH(int, frequency);
        QFETCH(int, msecs);
        QFETCH(int, rate);
        QFETCH(int, samples);
        const auto tone = renderTone(frequency, msecs, rate);
        QCOMPARE(int(tone.size()), samples);
        if (frequency < 1 || samples == 0) {
            QVERIFY(std::all_of(tone.begin(), tone.end(), [](std::int16_t s) { return s == 0; }));
            return;
        }
        const double periods = double(frequency) * msecs / 1000.0;
        QVERIFY2(std::abs(saliteDaZero(tone) - periods) <= 1.0,
                 qPrintable(QStringLiteral("%1 crossings for %2 periods").arg(saliteDaZero(tone)).arg(periods)));
        const auto [low, high] = std::minmax_element(tone.begin(), tone.end());
        QVERIFY(*high > 12000 && *low < -12000);
        // Faded in and out: no jump at either end.
        QVERIFY(std::abs(tone.front()) < 100 && std::abs(tone.back()) < 100);
        // Made a slice at a time, as the device gets it, the tone is the same.
        std::vector<std::int16_t> joined;
        for (std::size_t from = 0; from < tone.size(); from += 1000) {
            const auto slice = renderToneSlice(frequency, tone.size(), rate, from, 1000);
            joined.insert(joined.end(), slice.begin(), slice.end());
        }
        QVERIFY(joined == tone);
    }

    // The speaker pattern's tones, 100 ms each, back to back.
    void patternLastsItsTonesAndTheDeviceNeverRunsDry_data()
    {
        QTest::addColumn<int>("tones");
        QTest::addColumn<int>("lateMs");

        QTest::newRow("three tones, punctual wake-ups") << 3 << 0;
        QTest::newRow("thirty tones, every wake-up 2 ms late") << 30 << 2;
        QTest::newRow("thirty tones, every wake-up 9 ms late") << 30 << 9;
    }

    void patternLastsItsTonesAndTheDeviceNeverRunsDry()
    {
        QFETCH(int, tones);
        QFETCH(int, lateMs);
        Banco b;
        b.clock->ritardo = milliseconds(lateMs);
        const auto start = b.clock->t;
        for (int i = 0; i < tones; ++i)
            b.out.play(1050 + 50 * (i % 3), 100);
        // Its tones and nothing more: no tone waits for the device, and late wake-ups do not add
        // up (only the last one shows).
        QCOMPARE(b.trascorso(start), milliseconds(100 * tones + lateMs));
        QCOMPARE(b.pcm->aperture, 1);
        QCOMPARE(int(b.pcm->scritture.size()), 1 + tones);
        QCOMPARE(b.pcm->scritture.front().campioni, CampioniAnticipo);
        QVERIFY(b.pcm->scritture.front().silenzio);
        for (std::size_t i = 1; i < b.pcm->scritture.size(); ++i) {
            QCOMPARE(b.pcm->scritture[i].campioni, std::size_t(4800));
            QVERIFY2(b.pcm->scritture[i].suonava, qPrintable(QStringLiteral("tone %1 found the device dry").arg(i)));
        }
    }

    void afterAPauseTheNextToneHasItsOwnLengthAndANewLead()
    {
        Banco b;
        b.out.play(1050, 100);
        b.clock->t += 500ms;
        const auto start = b.clock->t;
        b.out.play(1100, 100);
        QCOMPARE(b.trascorso(start), 100ms);
        QCOMPARE(int(b.pcm->scritture.size()), 4);
        QVERIFY(b.pcm->scritture[2].silenzio && !b.pcm->scritture[2].suonava);
        QCOMPARE(b.pcm->scritture[2].campioni, CampioniAnticipo);
    }

    void withoutADeviceTonesStillTakeTheirTimeAndItIsAskedForOnce()
    {
        Banco b;
        b.pcm->apribile = false;
        const auto start = b.clock->t;
        for (int i = 0; i < 3; ++i)
            b.out.play(1050, 100);
        QCOMPARE(b.trascorso(start), 300ms);
        QCOMPARE(b.pcm->aperture, 1);
        QVERIFY(b.pcm->scritture.empty());
    }

    void toneTakesItsTimeWithOrWithoutDevice_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<bool>("opens");

        QTest::newRow("device that swallows samples at once") << "default" << true;
        QTest::newRow("no such device") << "trillora_nessun_dispositivo" << false;
    }

    void toneTakesItsTimeWithOrWithoutDevice()
    {
        QFETCH(QString, device);
        QFETCH(bool, opens);
        ToneOutput out(device.toStdString());
        QElapsedTimer clock;
        clock.start();
        out.play(1000, 100);
        QVERIFY2(clock.elapsed() >= 100, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(out.deviceOpen(), opens);
    }

    void patternKeepsOneOpeningThenClosesWhenIdle()
    {
        QFile::remove(registrazione());
        {
            ToneOutput out;
            out.play(1050, 100);
            out.play(1100, 100);
            out.play(1150, 100);
            // No duration plays nothing and changes nothing.
            out.play(1000, -1);
            QVERIFY(out.deviceOpen());
            // The idle close waits for the event loop, i.e. for the pattern to be over.
            QTRY_VERIFY_WITH_TIMEOUT(!out.deviceOpen(), 5000);
        }
        // One opening: the file holds the lead of silence and all three tones, not only the last one.
        QCOMPARE(byteRegistrati(), qint64((ToneOutput::LeadMs * 48 + 3 * 4800) * 2));
    }
};

QTEST_GUILESS_MAIN(TestToneOutput)
#include "tst_tone_output.moc"
