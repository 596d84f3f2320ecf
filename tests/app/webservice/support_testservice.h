#pragma once

#include <QDomDocument>
#include <QHash>
#include <QList>
#include <QObject>
#include <QQueue>
#include <QSslCertificate>
#include <QSslKey>
#include <QString>
#include <QUrl>

#include "shared/support_httpserver.h"

// The metadata service as the tests need it, on 127.0.0.1: every posted document is parsed and
// recorded, and answered from a script (per call id, else in sequence, else a plain success);
// GETs are answered from a table of paths (artwork images, errors, redirects).
class TestMetadataService : public QObject
{
    Q_OBJECT
public:
    using Reply = TestHttpServer::Response;

    struct Call
    {
        TestHttpServer::Request request;
        QDomDocument document; // null when the body did not parse
        QString callId;
    };

    explicit TestMetadataService(QObject *parent = nullptr);

    // Plain http, or TLS with a certificate made by openssl (false when that fails).
    bool start(bool tls = false);
    QUrl endpoint() const; // the address calls are posted to
    QString url(const QString &path) const;
    // Points the client at this service through the environment.
    void useAsEndpoint() const;
    const QSslCertificate &certificate() const { return m_certificate; }

    // Replies for one call id, used in order; the last one is repeated once they run out.
    void script(const QString &callId, const QList<Reply> &replies);
    // Replies for whichever call comes next (used before the per-id script).
    void queue(const QList<Reply> &replies);
    // Answers to GET requests by path.
    QHash<QString, Reply> files;

    QList<Call> calls;
    // The paths of the GET requests, in order.
    QStringList fetched;

    TestHttpServer server;

private:
    Reply answer(const TestHttpServer::Request &request);

    QHash<QString, QList<Reply>> m_scripts;
    QQueue<Reply> m_sequence;
    QSslCertificate m_certificate;
    QSslKey m_key;
};

// A reply document "<r><s .../><d>data</d></r>"; status attributes as written, e.g. c="0".
TestMetadataService::Reply serviceReply(const QString &statusAttributes, const QString &data = QString());
TestMetadataService::Reply okReply(const QString &data = QString());
TestMetadataService::Reply busyReply();
TestMetadataService::Reply httpReply(int status, const QByteArray &body = QByteArray());
TestMetadataService::Reply rawReply(const QByteArray &body);
TestMetadataService::Reply droppedReply();
TestMetadataService::Reply delayedReply(int ms, const TestMetadataService::Reply &reply);

// Encoded images of a given size.
QByteArray imageBytes(int width, int height, const char *format = "PNG");

// A listening service that the calls of the test reach, with the pause between calls and the
// image cache reset for a fresh start; null when it cannot listen.
TestMetadataService *startTestService(QObject *parent);

// Loads the text tables and country table and resets the settings for a test.
void initWebServiceTest();
