// The failure that handlers raise and the application's general error display catches.
#pragma once

#include <QString>
#include <stdexcept>

class TrilloraError : public std::runtime_error
{
public:
    explicit TrilloraError(const QString &message)
        : std::runtime_error(message.toStdString())
    {
    }
    QString message() const { return QString::fromStdString(what()); }
};

// Range errors of the tone routine.
class RangeError : public TrilloraError
{
public:
    using TrilloraError::TrilloraError;
};

namespace ErrorDisplay {
// The message as the general error box shows it: a "." is added when the last
// character sorts after ".", as a letter or a digit does.
QString conFinale(const QString &message);
// Shows the general error box, titled with the application title.
void mostra(const QString &message);
void mostra(const std::exception &error);

// Runs one step of a window's creation: a failure is shown as from any handler, and the window
// is still made (an exception would otherwise abort its constructor).
template <typename Step>
void durante(Step &&step)
{
    try {
        step();
    } catch (const std::exception &error) {
        mostra(error);
    }
}
} // namespace ErrorDisplay
