#pragma once

#include <QString>
#include <QUrl>

// Where the metadata service is reached. No address is built in: the setting below, or the
// environment variable (which wins, for tests and tools), must name one.
inline constexpr char ServiceEndpointSettingsKey[] = "webService/endpoint";
inline constexpr char ServiceEndpointEnvironmentVariable[] = "MELO_SERVICE_ENDPOINT";

enum ServiceEndpointTextId : quint32 {
    ServiceEndpointMissingTextId = 3991764070u, // [call id, settings key, environment variable]
    ServiceEndpointInvalidTextId = 404373967u,  // [call id, address]
};

// The configured address text, trimmed; empty when none is configured.
QString configuredServiceEndpoint();

// The service's address, checked: https, or http for this computer's own addresses only.
// Throws ServiceEndpointMissingTextId or ServiceEndpointInvalidTextId (logged, with the call
// id as first argument) before anything goes out on the network.
QUrl serviceEndpoint(const QString &callId);

// True for "localhost" and the loopback addresses of IPv4 and IPv6.
bool isLoopbackHost(const QString &host);
