// The general error display that catches the failures handlers raise, at the handler.
#pragma once

#include "core/Errors.h"

#include <QObject>
#include <QString>
#include <functional>
#include <type_traits>
#include <utility>

namespace ErrorDisplay {
// The message as the general error box shows it: a "." is added when the last
// character sorts after ".", as a letter or a digit does.
QString withFullStop(const QString &message);
// Shows the general error box, titled with the application title.
void show(const QString &message);
void show(const std::exception &error);

// Runs one step: a failure is shown in the general error box and goes no further, and the
// program goes on. A window's creation runs its steps so, and so do the event handlers that run
// a handler of the window (the window is still made; the event is still handled).
template <typename Step>
void during(Step &&step)
{
    try {
        step();
    } catch (const std::exception &error) {
        show(error);
    }
}

// A handler as Qt may call it: whatever fails inside ends in the general error box, so that no
// exception crosses Qt's event dispatch, which does not support it. Anything that is not a
// std::exception ends the program at once (noexcept) rather than unwinding through Qt.
// It takes exactly the arguments that the handler takes, so that connect() passes a handler
// only as many of a signal's arguments as it has parameters.
template <typename Handler>
auto guarded(Handler handler)
{
    return [handler = std::move(handler)](auto &&...args) noexcept
           -> std::enable_if_t<std::is_invocable_v<const Handler &, decltype(args)...>> {
        during([&] { std::invoke(handler, std::forward<decltype(args)>(args)...); });
    };
}

// connect() of a signal to a handler of `receiver`, through guarded: every handler the program
// connects goes this way.
template <typename Sender, typename Signal, typename Receiver, typename Owner, typename Result, typename... Args>
QMetaObject::Connection attach(const Sender *sender, Signal signal, Receiver *receiver,
                               Result (Owner::*handler)(Args...))
{
    Owner *owner = receiver;
    return QObject::connect(sender, signal, receiver,
                            guarded([owner, handler](Args... args) { (owner->*handler)(std::forward<Args>(args)...); }));
}
} // namespace ErrorDisplay
