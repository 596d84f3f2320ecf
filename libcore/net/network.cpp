#include "libcore/net/network.h"

#include <QEventLoop>
#include <QList>
#include <QMutexLocker>
#include <QNetworkReply>
#include <QUrl>

#include "libcore/io/iostream.h"
#include "libcore/log/exception.h"
#include "libcore/log/logger.h"
#include "libcore/net/extnetworkaccessmanager.h"
#include "libcore/net/extnetworkreply.h"
#include "libcore/net/extnetworkrequest.h"
#include "libcore/progress/combinedprogressobject.h"

QRecursiveMutex &networkMutex()
{
    static QRecursiveMutex mutex;
    return mutex;
}

namespace {

QNetworkReply *startOperation(int operation, const ExtNetworkRequest &request)
{
    ExtNetworkAccessManager *manager = ExtNetworkAccessManager::instance();
    switch (operation) {
    case HeadOperation:
        return manager->head(request.request);
    case GetOperation:
        return manager->get(request.request);
    case PutOperation:
        return manager->put(request.request, request.body);
    case PostOperation:
        return manager->post(request.request, request.body);
    case DeleteOperation:
        return manager->deleteResource(request.request);
    default:
        return nullptr;
    }
}

void waitForReply(ExtNetworkReply *reply, CombinedProgressObject *progress)
{
    if (reply->status() != ExtNetworkReply::Running)
        return;
    QEventLoop loop;
    QObject::connect(reply, &ExtNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(reply, &ExtNetworkReply::error, &loop, &QEventLoop::quit);
    if (progress) {
        // Queued when another thread cancels: the loop is quit from its own thread.
        QObject::connect(progress, &ProgressObject::progressCanceled, &loop, &QEventLoop::quit);
        if (progress->isCanceled())
            return;
    }
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

} // namespace

ExtNetworkReply *sendNetworkRequest(int operation, const ExtNetworkRequest &request,
                                    QObject *parent)
{
    QMutexLocker lock(&networkMutex());
    QNetworkReply *wrapped = startOperation(operation, request);

    IoStream *sink = nullptr;
    bool ownSink = false;
    if (wrapped) {
        if (request.sinkKind == MemorySink) {
            sink = new IoStream(QIODevice::ReadWrite);
            ownSink = true;
        } else if (request.sinkKind == CallerSink) {
            sink = request.sink;
        }
    }
    auto *reply = new ExtNetworkReply(wrapped, request.timeoutMs, sink, request.progress, parent);
    reply->setMaximumSize(request.maximumSize);
    if (ownSink)
        sink->setParent(reply);

    if (request.synchronous && wrapped) {
        waitForReply(reply, request.progress);
        // A cancelled wait must not leave the request running behind the caller's back.
        if (reply->status() == ExtNetworkReply::Running)
            reply->abort(QNetworkReply::OperationCanceledError);
    }
    return reply;
}

QByteArray downloadData(const QString &url, qint64 maximumSize)
{
    QMutexLocker lock(&networkMutex());
    QObject replies;
    QUrl current(url);
    QList<QUrl> requested;
    int redirects = 0;
    for (;;) {
        ExtNetworkRequest request(current);
        request.maximumSize = maximumSize;
        ExtNetworkReply *reply = sendNetworkRequest(GetOperation, request, &replies);
        requested.append(current);
        if (reply->status() != ExtNetworkReply::Succeeded) {
            const QVariantList arguments{url, reply->errorStrings().join(QStringLiteral(" | "))};
            Logger::warning(DownloadFailedWarningId, arguments);
            throw Exception(DownloadFailedTextId, arguments, false);
        }
        const QVariant target = reply->reply()->attribute(QNetworkRequest::RedirectionTargetAttribute);
        if (!target.isValid())
            return reply->data();

        const QUrl next = current.resolved(target.toUrl());
        if (requested.contains(next)) {
            const QVariantList arguments{url, next.toString()};
            Logger::warning(RedirectLoopWarningId, arguments);
            throw Exception(RedirectLoopTextId, arguments, false);
        }
        if (++redirects > MaxRedirects) {
            const QVariantList arguments{url, MaxRedirects};
            Logger::warning(TooManyRedirectsWarningId, arguments);
            throw Exception(TooManyRedirectsTextId, arguments, false);
        }
        current = next;
        delete reply; // one finished reply at a time, not the whole chain
    }
}
