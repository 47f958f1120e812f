// One click of a widget that is not a button: a press and a release of the left button on it.
#pragma once

#include <QObject>

class QWidget;

// Watches a widget and reports its clicks. The double-click that follows a click adds nothing:
// Qt delivers press, release, double-click, release, and that second release is not a click.
class ClickWatcher : public QObject
{
    Q_OBJECT
public:
    // Owned by the widget it watches.
    explicit ClickWatcher(QWidget *widget);

signals:
    void clicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool pressed = false;
};
