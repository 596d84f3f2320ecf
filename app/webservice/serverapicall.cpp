#include "app/webservice/serverapicall.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QThread>

#include <atomic>
#include <memory>

#include "app/shell/preferredlocale.h"
#include "app/webservice/replyreading.h"
#include "app/webservice/serviceendpoint.h"
#include "libcore/log/exception.h"
#include "libcore/log/logger.h"
#include "libcore/net/extnetworkreply.h"
#include "libcore/net/extnetworkrequest.h"
#include "libcore/net/network.h"
#include "libcore/platform/platformidentity.h"
#include "libcore/progress/combinedprogressobject.h"
#include "libcore/xml/xmlutil.h"
#include "libcore/xml/xpath.h"

namespace {

// Shared by the calls of every thread, so it must be read and written atomically.
std::atomic<qint64> g_previousCallEnd{0};


} // namespace

ServerApiCall::ServerApiCall(const QString &callId, QObject *parent)
    : QObject(parent),
      m_request(createXmlDocument(QStringLiteral("r"), QStringLiteral("1.0"), QStringLiteral("UTF-8")))
{
    QDomElement root = m_request.documentElement();
    QDomElement client = appendXmlElement(root, QStringLiteral("c"));
    client.setAttribute(QStringLiteral("v"), QCoreApplication::applicationVersion());
    client.setAttribute(QStringLiteral("o"), osName());
    QDomElement call = appendXmlElement(root, QStringLiteral("a"));
    call.setAttribute(QStringLiteral("i"), callId);
    call.setAttribute(QStringLiteral("v"), QString::number(ApiVersion));
    appendXmlElement(root, QStringLiteral("s"));
    appendXmlElement(root, QStringLiteral("d"));
    addSetting(QStringLiteral("ploc"), preferredLocale().bcp47Name());
}

ServerApiCall::~ServerApiCall() = default;

QString ServerApiCall::callId() const
{
    return xmlNodeText(xpathSelect(m_request, QStringLiteral("r/a/@i")).value(0));
}

qint64 ServerApiCall::previousCallEndTime()
{
    return g_previousCallEnd.load();
}

void ServerApiCall::setPreviousCallEndTime(qint64 msecsSinceEpoch)
{
    g_previousCallEnd.store(msecsSinceEpoch);
}

void ServerApiCall::addSetting(const QString &name, const QString &value)
{
    if (value.isEmpty())
        return;
    appendXmlTextElement(firstXmlElement(m_request, QStringLiteral("r/s")), name, value);
}

QDomElement ServerApiCall::requestData() const
{
    return firstXmlElement(m_request, QStringLiteral("r/d"));
}

QDomElement ServerApiCall::replyData() const
{
    return firstXmlElement(m_reply, QStringLiteral("r/d"));
}

void ServerApiCall::send(CombinedProgressObject *progress, int timeoutMs)
{
    const QString id = callId();
    // Checked first: without a usable address nothing may go out, not even after a pause.
    const QUrl endpoint = serviceEndpoint(id);

    const qint64 elapsed = qMax<qint64>(0, QDateTime::currentMSecsSinceEpoch() - g_previousCallEnd.load());
    if (MinimumCallSpacingMs - elapsed > 0)
        QThread::msleep(static_cast<unsigned long>(MinimumCallSpacingMs - elapsed));

    ExtNetworkRequest request(endpoint);
    request.setBody(xmlToByteArray(m_request, true));
    request.request.setHeader(QNetworkRequest::ContentTypeHeader,
                              QStringLiteral("application/xml; charset=UTF-8"));
    // The service answers at its own address; a redirect is not followed but fails the call.
    request.request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                                 QNetworkRequest::ManualRedirectPolicy);
    request.timeoutMs = timeoutMs;
    request.progress = progress;
    request.maximumSize = MaximumReplySize;

    QByteArray body;
    {
        QObject replies; // the reply goes with it, however this block is left
        ExtNetworkReply *reply = sendNetworkRequest(PostOperation, request, &replies);
        g_previousCallEnd.store(QDateTime::currentMSecsSinceEpoch());
        if (reply->status() != ExtNetworkReply::Succeeded) {
            throw Exception(ServerCallTransportFailedTextId,
                            {id, reply->errorStrings().join(QStringLiteral(" | "))});
        }
        body = reply->data();
    }

    m_reply = parseXmlBytes(body);

    const QDomElement status = firstXmlElement(m_reply, QStringLiteral("r/s"));
    bool tIsNumber = false;
    int t = status.attribute(QStringLiteral("t")).toInt(&tIsNumber, 10);
    if (!tIsNumber)
        t = 0;
    bool cIsNumber = false;
    const int c = status.attribute(QStringLiteral("c")).toInt(&cIsNumber, 10);
    if (cIsNumber && c == 0) {
        Logger::info(ServerCallSucceededTextId, {id, t});
        return;
    }
    if (cIsNumber && c == 1) {
        const QString e = status.attribute(QStringLiteral("e"));
        bool eIsNumber = false;
        const uint code = e.toUInt(&eIsNumber, 16);
        if (eIsNumber && code == ServiceBusyErrorCode)
            throw Exception(ServerCallBusyTextId, {id});
        throw Exception(ServerCallErrorTextId, {id, e});
    }
    if (cIsNumber && c == 2)
        throw Exception(ServerCallFailureTextId, {id});
    throw Exception(ServerCallInvalidStatusTextId, {id});
}

void executeWithRetry(ServerApiCall *call, CombinedProgressObject *progress, int busyPauseMs)
{
    int limit = 3;
    for (int attempt = 1;; ++attempt) {
        if (progress && progress->isCanceled())
            return;
        try {
            call->execute(progress);
            return;
        } catch (const Exception &e) {
            const bool final = e.code == ServerCallFailureTextId || e.code == ServiceEndpointMissingTextId
                || e.code == ServiceEndpointInvalidTextId;
            if (final || attempt >= limit)
                throw;
            if (e.code == ServerCallBusyTextId) {
                QThread::msleep(static_cast<unsigned long>(qMax(0, busyPauseMs)));
                limit = 10;
            }
        }
    }
}
