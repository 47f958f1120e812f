// The alarm's two sound patterns and the tone and speaker routines under them.
#include "ringing/TonePatterns.h"

#include "platform/Platform.h"
#include "widgets/ErrorDisplay.h"

namespace Toni {

namespace {

constexpr std::uint16_t PortaControllo = 0x43;
constexpr std::uint16_t PortaCanale2 = 0x42;
constexpr std::uint16_t PortaSpeaker = 0x61;
// Channel 2, low byte then high byte, square wave, binary count.
constexpr std::uint8_t ParolaControllo = 0xB6;
constexpr std::uint8_t SpeakerAcceso = 3;
constexpr std::uint8_t SpeakerSpento = 0;

} // namespace

int ContaRipetizioni(const QString &durata)
{
    return durata == QLatin1String("Maggiore") ? 10 : 3;
}

void Bleeper(std::uint16_t freq, std::int32_t msecs)
{
    if (msecs < -1)
        throw RangeError(QStringLiteral("Bleeper: MSecs < -1"));
    if (freq < 37)
        throw RangeError(QStringLiteral("Bleeper: Freq < %1").arg(37));
    if (freq > 20000)
        throw RangeError(QStringLiteral("Bleeper: Freq > 20000"));
    platform().systemTone(freq, msecs);
}

std::uint16_t CalcolaDivisore(std::int32_t f)
{
    // A zero frequency would divide by zero and bring the whole program down.
    if (f < 1)
        throw RangeError(QStringLiteral("AccendiSpeaker: Freq < 1"));
    return static_cast<std::uint16_t>(Dividendo / f);
}

void AccendiSpeaker(std::int32_t f)
{
    const std::uint16_t divisore = CalcolaDivisore(f);
    platform().portOut(PortaControllo, ParolaControllo);
    platform().portOut(PortaCanale2, static_cast<std::uint8_t>(divisore & 0xFF));
    platform().portOut(PortaCanale2, static_cast<std::uint8_t>(divisore >> 8));
    // The whole byte is written; the port's other bits are not kept.
    platform().portOut(PortaSpeaker, SpeakerAcceso);
}

void SpegniSpeaker()
{
    platform().portOut(PortaSpeaker, SpeakerSpento);
}

void SuonaSpeaker(const QString &tipoSistema, int ripetizioni, std::int32_t &frequenza)
{
    if (tipoSistema == QLatin1String("9x")) {
        // Each pass is a rising sweep, 50 to 1000 Hz; every step sounds for the wait after it.
        for (int passo = 0; passo < ripetizioni; ++passo) {
            frequenza = 0;
            while (frequenza < 1000) {
                frequenza += 50;
                platform().sleepMs(50);
                AccendiSpeaker(frequenza);
            }
        }
        SpegniSpeaker();
    }
    if (tipoSistema == QLatin1String("NT")) {
        for (int passo = 0; passo < ripetizioni; ++passo) {
            Bleeper(1050, 100);
            Bleeper(1100, 100);
            Bleeper(1150, 100);
        }
    }
}

void SuonaCasse(int ripetizioni)
{
    for (int volta = 0; volta < ripetizioni; ++volta) {
        platform().sleepMs(500);
        platform().messageSound(TipoMessaggio);
    }
}

} // namespace Toni
