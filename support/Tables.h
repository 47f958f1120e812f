// The optional settings and language tables beside the program, and caption translation.
#pragma once

#include <QList>
#include <QString>
#include <functional>

namespace Fx {

// The named field of the settings table's first row; on failure the error box has been
// shown and the text is empty.
QString LeggiImpostazione(const QString &campo);

// The caption to show in the language; throws TrilloraError with the engine's message when the
// lookup fails.
QString TraduciTesto(const QString &caption, const QString &lingua);

// One translatable caption of a window: how to read it and how to set it.
struct Didascalia
{
    std::function<QString()> read;
    std::function<void(const QString &)> write;
};

// Translates the captions in order. A failing lookup ends the translation at that caption and
// throws; the window catches it, shows it in the general error box and still opens.
void TraduciInterfaccia(const QList<Didascalia> &didascalie);

} // namespace Fx
