// The button glyphs and other PNG pictures built into the program, decoded the first time they are needed.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

// The glyph ":/glyphs/<name>.png". Most glyphs sit on windows that are not on screen at start,
// so none is read before a button first needs it.
QIcon glyphIcon(const QString &name);

// A PNG picture built into the program, read as PNG alone: left to guess, Qt would first load its
// image plug-ins to ask each whether it knows the file.
QPixmap builtInPng(const QString &path);
