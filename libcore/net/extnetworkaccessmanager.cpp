#include "libcore/net/extnetworkaccessmanager.h"

#include <QCoreApplication>
#include <QMutexLocker>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QThread>
#include <QThreadStorage>

#include "libcore/io/wholefile.h"
#include "libcore/net/network.h"

namespace {

void addExtraCaCertificates()
{
    static bool added = false;
    if (added)
        return;
    QList<QSslCertificate> extra;
    for (const QString &path : ExtNetworkAccessManager::extraCaCertificatePaths()) {
        const QSslCertificate certificate(readFile(path), QSsl::Pem);
        if (!certificate.isNull())
            extra.append(certificate);
    }
    // Adding to the default configuration turns off Qt's loading of the system roots on
    // demand, so the system roots are listed explicitly beside ours.
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    QList<QSslCertificate> roots = configuration.caCertificates();
    if (roots.isEmpty())
        roots = QSslConfiguration::systemCaCertificates();
    for (const QSslCertificate &certificate : std::as_const(extra)) {
        if (!roots.contains(certificate))
            roots.append(certificate);
    }
    configuration.setCaCertificates(roots);
    QSslConfiguration::setDefaultConfiguration(configuration);
    added = true;
}

QThreadStorage<ExtNetworkAccessManager *> &managers()
{
    static QThreadStorage<ExtNetworkAccessManager *> storage;
    return storage;
}

// Qt deletes a thread's manager when the thread ends, but the main thread's only after the
// application object is gone, too late for the manager's own clean-up; so it goes first.
void releaseMainThreadManager()
{
    managers().setLocalData(nullptr);
}

} // namespace

ExtNetworkAccessManager::ExtNetworkAccessManager()
{
    // Redirects are followed by downloadData, which checks each target, not by Qt.
    setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
}

QStringList ExtNetworkAccessManager::extraCaCertificatePaths()
{
    return {QStringLiteral(":/libcore/certificates/isrg-root-x1.pem"),
            QStringLiteral(":/libcore/certificates/isrg-root-x2.pem")};
}

ExtNetworkAccessManager *ExtNetworkAccessManager::instance()
{
    QMutexLocker lock(&networkMutex());
    addExtraCaCertificates();
    if (!managers().hasLocalData()) {
        managers().setLocalData(new ExtNetworkAccessManager);
        const QCoreApplication *application = QCoreApplication::instance();
        if (application && QThread::currentThread() == application->thread())
            qAddPostRoutine(releaseMainThreadManager);
    }
    return managers().localData();
}
