// The application's general error display.
#include "widgets/ErrorDisplay.h"

#include "core/Config.h"
#include "platform/Platform.h"

namespace ErrorDisplay {

QString withFullStop(const QString &message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

void show(const QString &message)
{
    platform().messageBox(MessageKind::Error, Config::ApplicationTitle, withFullStop(message));
}

void show(const std::exception &error)
{
    show(QString::fromStdString(error.what()));
}

} // namespace ErrorDisplay
