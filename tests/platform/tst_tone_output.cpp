// Tones on Linux: the rendered samples, and playing through ALSA into a file device or no device at all.
#include "TestMain.h"
#include "platform/ToneOutput.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

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
        // One opening: the file holds all three tones, not only the last one.
        QCOMPARE(byteRegistrati(), qint64(3 * 4800 * 2));
    }
};

TRILLORA_TEST_MAIN(TestToneOutput)
#include "tst_tone_output.moc"
