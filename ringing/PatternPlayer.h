// The playing of a tone pattern: its tones and waits on a thread of their own, while the UI thread
// answers the window system and holds everything the user would see move.
#pragma once

#include <functional>

class QWindow;

// While a pattern plays, the UI thread waits for it in an event loop of its own. That loop answers
// the window system (its pings, exposes and focus changes) and handles posted events, so no desktop
// takes the window for dead. It leaves the user's input queued, the close box included (and input
// that a loop run meanwhile would take, a box's, waits all the same), and holds the program's own
// timers (widgets/ProgramTimer.h): one whose tick comes due meanwhile gets one late tick after the
// pattern, which stands for all it missed, as the timers of a busy thread do; the input comes first.
// So the window does nothing else while it sounds, the clock stands still, and a count such as the
// 50 s close goes on. Every other timer runs: Qt's own (its X11 connection notices a focus gone
// through one), the network's time-outs, the seen check.
namespace PatternPlayer {

// Plays `pattern` to its end on the sound's thread, and returns then. The pattern touches no widget
// and nothing that the UI thread may use meanwhile. What it throws is thrown again here, after it
// has ended. Patterns play one at a time, in the order asked.
void play(const std::function<void()> &pattern);

// A pattern is playing.
bool isPlaying();

// The window the user works in (the platform's witness): while what was held in a pattern is
// handled, as it was when that pattern ended.
QWindow *userWindow();

// Runs `action` on the UI thread after the pattern that is playing, as input made meanwhile is
// handled; at once when none is playing. A failure inside it goes to the general error box.
void after(std::function<void()> action);

} // namespace PatternPlayer
