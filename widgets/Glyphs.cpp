// Button glyphs as icons whose picture is read and decoded on first use.
#include "widgets/Glyphs.h"

#include <QIconEngine>
#include <QImageReader>
#include <QPixmap>

namespace {

// Stands for the ordinary icon of the picture, which it makes the first time anyone asks for a
// size, a pixmap or a painting; every answer is that icon's own, disabled look included.
class LazyGlyph : public QIconEngine
{
public:
    explicit LazyGlyph(const QString &picture)
        : path(picture)
    {
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        return icon().pixmap(size, scale, mode, state);
    }
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return icon().availableSizes(mode, state);
    }
    QIconEngine *clone() const override { return new LazyGlyph(*this); }
    QString key() const override { return QStringLiteral("GlifoPigro"); }

private:
    const QIcon &icon()
    {
        if (loaded.isNull())
            loaded = QIcon(builtInPng(path));
        return loaded;
    }

    QString path;
    QIcon loaded;
};

} // namespace

QIcon glyphIcon(const QString &name)
{
    return QIcon(new LazyGlyph(QStringLiteral(":/glyphs/%1.png").arg(name)));
}

QPixmap builtInPng(const QString &path)
{
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}
