// Decoding of the JPEG pictures built into the program (the two logos) through libjpeg.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// The picture held in the bytes, as 24-bit RGB. Empty, damaged or truncated data gives a null
// image: a picture with grey holes is never shown as if it were whole. So does a picture of more
// than 4096 x 4096 pixels, which a few bytes of header can claim.
QImage decodificaJpeg(const QByteArray &dati);

// The picture of a file or resource (":/logos/splash.jpg"); null when it cannot be read or decoded.
QImage caricaJpeg(const QString &percorso);
