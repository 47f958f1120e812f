// Button glyphs as icons whose picture is read and decoded on first use.
#include "widgets/Glyphs.h"

#include <QIconEngine>
#include <QImageReader>
#include <QPixmap>

namespace {

// Stands for the ordinary icon of the picture, which it makes the first time anyone asks for a
// size, a pixmap or a painting; every answer is that icon's own, disabled look included.
class GlifoPigro : public QIconEngine
{
public:
    explicit GlifoPigro(const QString &path)
        : percorso(path)
    {
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        icona().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icona().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        return icona().pixmap(size, scale, mode, state);
    }
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icona().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return icona().availableSizes(mode, state);
    }
    QIconEngine *clone() const override { return new GlifoPigro(*this); }
    QString key() const override { return QStringLiteral("GlifoPigro"); }

private:
    const QIcon &icona()
    {
        if (caricata.isNull())
            caricata = QIcon(builtInPng(percorso));
        return caricata;
    }

    QString percorso;
    QIcon caricata;
};

} // namespace

QIcon glyphIcon(const QString &name)
{
    return QIcon(new GlifoPigro(QStringLiteral(":/glyphs/%1.png").arg(name)));
}

QPixmap builtInPng(const QString &path)
{
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}
