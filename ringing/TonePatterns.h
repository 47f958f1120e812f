// The alarm's two sound patterns and the tone and speaker routines under them, apart from any window.
#pragma once

#include <QString>
#include <cstdint>

namespace Toni {

// The message-sound type the sound-card pattern asks for.
inline constexpr unsigned TipoMessaggio = 152;
// Dividend of the timer chip's channel-2 divisor. 1193280, not the chip's 1193180 Hz: the sweep's
// tones are defined by the divisors this value gives (for the low tones one or two above the
// chip-exact ones); the pitch differs by less than 0.01 %, which no one hears.
inline constexpr std::int32_t Dividendo = 1193280;

// 10 for a sound length of exactly "Maggiore", 3 for any other text.
int ContaRipetizioni(const QString &durata);

// A system tone that returns when it has ended. Throws RangeError for a duration below -1,
// then for a frequency below 37 or above 20000, in that order.
void Bleeper(std::uint16_t freq, std::int32_t msecs);

// The channel-2 divisor for a frequency, cut to 16 bits as the chip takes it.
// Throws RangeError for a frequency below 1, which has no divisor.
std::uint16_t CalcolaDivisore(std::int32_t f);
// The PC speaker on at a frequency, and off, through the timer chip's and the speaker's ports.
void AccendiSpeaker(std::int32_t f);
void SpegniSpeaker();

// The two patterns touch no window: they play on the sound's thread, and the caller switches the
// pattern's timer off before it starts.
// The speaker pattern for the platform family: "9x" sweeps the speaker through the ports,
// "NT" plays rising system tones, anything else is silent. `frequenza` is the sweep's
// running frequency.
void SuonaSpeaker(const QString &tipoSistema, int ripetizioni, std::int32_t &frequenza);
// The sound-card pattern: a message sound every 500 ms.
void SuonaCasse(int ripetizioni);

} // namespace Toni
