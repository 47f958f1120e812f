// The button glyphs built into the program, decoded the first time they are painted.
#pragma once

#include <QIcon>
#include <QString>

// The glyph ":/glyphs/<name>.png". Most glyphs sit on windows that are not on screen at start,
// so none is read before a button first needs it.
QIcon glifo(const QString &name);
