// The failures that the program's steps raise, for the general error display to show.
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
