// Labels of the support windows: clickable ones, the look of a web link, and text that fits its place.
#pragma once

#include <QLabel>

// A label that reports a click (see ClickWatcher); the windows use it for links and for the splash logo.
class ClickableLabel : public QLabel
{
    Q_OBJECT
public:
    explicit ClickableLabel(QWidget *parent = nullptr);

signals:
    void clicked();
};

// Tahoma, blue, underlined, hand cursor: how an address that opens on a click looks.
void aspettoLink(QLabel *etichetta);

// The layouts' widths were measured for MS Sans Serif and Tahoma, and this desktop's substitutes
// for them run wider. A label whose text does not fit its width gets a horizontally condensed font
// instead of a clipped text, so positions stay as laid out. Call again after the text changes.
void stringiSeServe(QLabel *etichetta);

// The label takes the width of its text, up to `massimo` (condensed beyond that).
void larghezzaDelTesto(QLabel *etichetta, int massimo);
