// Labels of the support windows: clicks, link look and fitting text.
#include "widgets/Labels.h"
#include "widgets/Click.h"
#include "widgets/Layout.h"

#include <QFontMetrics>

ClickableLabel::ClickableLabel(QWidget *parent)
    : QLabel(parent)
{
    connect(new ClickWatcher(this), &ClickWatcher::clicked, this, &ClickableLabel::clicked);
}

void aspettoLink(QLabel *etichetta)
{
    QFont font = Layout::pixelFont(QStringLiteral("Tahoma"), 11);
    font.setUnderline(true);
    etichetta->setFont(font);
    QPalette colori = etichetta->palette();
    colori.setColor(QPalette::WindowText, Qt::blue);
    etichetta->setPalette(colori);
    etichetta->setCursor(Qt::PointingHandCursor);
}

namespace {

int textWidth(const QLabel *label, const QFont &font)
{
    return QFontMetrics(font).horizontalAdvance(label->text());
}

// Below this the text would be too cramped to read; it is clipped instead.
constexpr int MinimumStretch = 60;

} // namespace

void stringiSeServe(QLabel *etichetta)
{
    QFont font = etichetta->font();
    font.setStretch(QFont::Unstretched);
    const int disponibile = etichetta->width() - 2 * etichetta->margin();
    const int naturale = textWidth(etichetta, font);
    if (naturale > disponibile && naturale > 0) {
        // Hinting makes widths grow in steps, so the first guess is refined downwards.
        int stretto = qMax(MinimumStretch, disponibile * 100 / naturale);
        font.setStretch(stretto);
        while (stretto > MinimumStretch && textWidth(etichetta, font) > disponibile)
            font.setStretch(--stretto);
    }
    etichetta->setFont(font);
}

void larghezzaDelTesto(QLabel *etichetta, int massimo)
{
    QFont font = etichetta->font();
    font.setStretch(QFont::Unstretched);
    etichetta->setFont(font);
    const int voluta = textWidth(etichetta, font) + 2 * etichetta->margin();
    etichetta->resize(qMin(voluta, massimo), etichetta->height());
    stringiSeServe(etichetta);
}
