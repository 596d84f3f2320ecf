#pragma once

#include <functional>

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPair>
#include <QSslCertificate>
#include <QSslKey>
#include <QTcpServer>
#include <QUrl>

// A small HTTP/1.1 server on 127.0.0.1 for tests: one request per connection, answered by a
// handler, optionally over TLS with a certificate of the test's own.
class TestHttpServer : public QTcpServer
{
    Q_OBJECT
public:
    struct Request
    {
        QByteArray method;
        QByteArray path;
        QList<QPair<QByteArray, QByteArray>> headers; // names in lower case
        QByteArray body;
        qint64 arrivalMs = 0; // when the whole request had arrived, milliseconds since the epoch
        QByteArray header(const QByteArray &name) const;
    };

    struct Response
    {
        int status = 200;
        QList<QPair<QByteArray, QByteArray>> headers;
        QByteArray body;
        bool silent = false;        // never answer
        bool drop = false;          // break the connection in the middle of the answer
        int delayMs = 0;            // answer this much later
        int chunks = 1;             // the body in this many parts...
        int chunkIntervalMs = 0;    // ...this far apart
    };

    explicit TestHttpServer(QObject *parent = nullptr);

    // Listens on 127.0.0.1 at a free port; with a certificate and key it speaks TLS.
    bool start(const QSslCertificate &certificate = QSslCertificate(), const QSslKey &key = QSslKey());
    QUrl url(const QString &path) const;

    std::function<Response(const Request &)> handler;

    QList<Request> requests;
    int inFlight = 0;    // requests read but not yet answered completely
    int maxInFlight = 0;
    int closedConnections = 0;

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    void serve(QTcpSocket *socket);
    void onReadable(QTcpSocket *socket);
    void answer(QTcpSocket *socket, const Response &response);

    QSslCertificate m_certificate;
    QSslKey m_key;
};

// A self-signed certificate for 127.0.0.1 made with the openssl tool; null when that fails.
bool makeTestCertificate(QSslCertificate &certificate, QSslKey &key);
