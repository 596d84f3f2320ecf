#pragma once

#include <QNetworkAccessManager>
#include <QStringList>

// The access manager of the calling thread. A Qt manager cannot change threads while it has
// replies, so each thread that sends gets its own, created on first use there and deleted
// when the thread ends; the network lock still lets only one request run at a time.
class ExtNetworkAccessManager : public QNetworkAccessManager
{
    Q_OBJECT
public:
    // Before the first manager is made, the extra root certificates are added to the default
    // TLS configuration; a certificate file that cannot be read throws, and the next call
    // tries again.
    static ExtNetworkAccessManager *instance();

    // The resource paths of the extra root certificates, in the order they are added.
    static QStringList extraCaCertificatePaths();

private:
    ExtNetworkAccessManager();
};
