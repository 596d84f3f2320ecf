#include "app/webservice/serviceendpoint.h"

#include <QHostAddress>

#include "libcore/log/exception.h"
#include "libcore/settings/settingsstore.h"

QString configuredServiceEndpoint()
{
    const QString fromEnvironment = qEnvironmentVariable(ServiceEndpointEnvironmentVariable).trimmed();
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    return SettingsStore::value(QLatin1String(ServiceEndpointSettingsKey)).trimmed();
}

bool isLoopbackHost(const QString &host)
{
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

QUrl serviceEndpoint(const QString &callId)
{
    const QString text = configuredServiceEndpoint();
    if (text.isEmpty()) {
        throw Exception(ServiceEndpointMissingTextId,
                        {callId, QLatin1String(ServiceEndpointSettingsKey),
                         QLatin1String(ServiceEndpointEnvironmentVariable)});
    }
    const QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    // Plain http would let anybody on the way read and change what the service answers, so
    // it is allowed only where nothing is on the way.
    const bool acceptable = url.isValid() && !url.host().isEmpty() && url.userInfo().isEmpty()
        && (scheme == QLatin1String("https")
            || (scheme == QLatin1String("http") && isLoopbackHost(url.host())));
    if (!acceptable)
        throw Exception(ServiceEndpointInvalidTextId, {callId, text});
    return url;
}
