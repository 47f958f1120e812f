// The application's general error display.
#include "widgets/ErrorDisplay.h"

#include "core/Config.h"
#include "platform/Platform.h"

namespace ErrorDisplay {

QString conFinale(const QString &message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

void mostra(const QString &message)
{
    platform().messageBox(MessageKind::Error, Config::ApplicationTitle, conFinale(message));
}

void mostra(const std::exception &error)
{
    mostra(QString::fromStdString(error.what()));
}

} // namespace ErrorDisplay
