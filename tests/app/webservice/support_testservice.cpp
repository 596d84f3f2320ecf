#include "support_testservice.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImage>

#include "app/webservice/dbalbumimage.h"
#include "app/webservice/serverapicall.h"
#include "app/webservice/serviceendpoint.h"
#include "libcore/image/webimagecache.h"
#include "libcore/settings/settingsstore.h"
#include "app/shell/applicationresources.h"
#include "libcore/text/resourcepackage.h"
#include "libcore/xml/xmlutil.h"
#include "libcore/xml/xpath.h"

TestMetadataService::TestMetadataService(QObject *parent) : QObject(parent)
{
    server.handler = [this](const TestHttpServer::Request &request) { return answer(request); };
}

bool TestMetadataService::start(bool tls)
{
    if (tls && !makeTestCertificate(m_certificate, m_key))
        return false;
    return server.start(m_certificate, m_key);
}

QUrl TestMetadataService::endpoint() const
{
    return server.url(QStringLiteral("/service/api.php"));
}

QString TestMetadataService::url(const QString &path) const
{
    return server.url(path).toString();
}

void TestMetadataService::useAsEndpoint() const
{
    qputenv(ServiceEndpointEnvironmentVariable, endpoint().toString().toUtf8());
}

void TestMetadataService::script(const QString &callId, const QList<Reply> &replies)
{
    m_scripts[callId] = replies;
}

void TestMetadataService::queue(const QList<Reply> &replies)
{
    for (const Reply &reply : replies)
        m_sequence.enqueue(reply);
}

TestMetadataService::Reply TestMetadataService::answer(const TestHttpServer::Request &request)
{
    const QString path = QString::fromLatin1(request.path);
    if (request.method == "GET") {
        fetched.append(path);
        return files.value(path, httpReply(404));
    }
    Call call;
    call.request = request;
    QDomDocument document;
    if (document.setContent(request.body))
        call.document = document;
    call.callId = xmlNodeText(xpathSelect(call.document, QStringLiteral("r/a/@i")).value(0));
    calls.append(call);
    if (!m_sequence.isEmpty())
        return m_sequence.dequeue();
    QList<Reply> &script = m_scripts[call.callId];
    if (script.isEmpty())
        return okReply();
    return script.size() > 1 ? script.takeFirst() : script.first();
}

TestMetadataService::Reply serviceReply(const QString &statusAttributes, const QString &data)
{
    TestMetadataService::Reply reply;
    reply.headers = {{"Content-Type", "application/xml; charset=UTF-8"}};
    reply.body = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?><r><s %1/><d>%2</d></r>")
                     .arg(statusAttributes, data)
                     .toUtf8();
    return reply;
}

TestMetadataService::Reply okReply(const QString &data)
{
    return serviceReply(QStringLiteral("c=\"0\" t=\"7\""), data);
}

TestMetadataService::Reply busyReply()
{
    return serviceReply(QStringLiteral("c=\"1\" e=\"1127aea6\""));
}

TestMetadataService::Reply httpReply(int status, const QByteArray &body)
{
    TestMetadataService::Reply reply;
    reply.status = status;
    reply.body = body;
    return reply;
}

TestMetadataService::Reply rawReply(const QByteArray &body)
{
    return httpReply(200, body);
}

TestMetadataService::Reply droppedReply()
{
    TestMetadataService::Reply reply;
    reply.drop = true;
    return reply;
}

TestMetadataService::Reply delayedReply(int ms, const TestMetadataService::Reply &reply)
{
    TestMetadataService::Reply delayed = reply;
    delayed.delayMs = ms;
    return delayed;
}

QByteArray imageBytes(int width, int height, const char *format)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

TestMetadataService *startTestService(QObject *parent)
{
    auto *service = new TestMetadataService(parent);
    if (!service->start()) {
        delete service;
        return nullptr;
    }
    service->useAsEndpoint();
    ServerApiCall::setPreviousCallEndTime(0);
    WebImageCache::clear();
    return service;
}

void initWebServiceTest()
{
    static bool loaded = false;
    if (!loaded) {
        registerApplicationResources();
        registerWebServiceMetaTypes();
        QCoreApplication::setApplicationVersion(QStringLiteral("3.4.7"));
        loaded = true;
    }
    SettingsStore::reset();
    qunsetenv(ServiceEndpointEnvironmentVariable);
}
