#include "shared/support_httpserver.h"

#include <QDateTime>
#include <QProcess>
#include <QSslSocket>
#include <QTemporaryDir>
#include <QTimer>

QByteArray TestHttpServer::Request::header(const QByteArray &name) const
{
    for (const auto &h : headers) {
        if (h.first == name.toLower())
            return h.second;
    }
    return {};
}

TestHttpServer::TestHttpServer(QObject *parent) : QTcpServer(parent)
{
    handler = [](const Request &) { return Response(); };
}

bool TestHttpServer::start(const QSslCertificate &certificate, const QSslKey &key)
{
    m_certificate = certificate;
    m_key = key;
    return listen(QHostAddress::LocalHost, 0);
}

QUrl TestHttpServer::url(const QString &path) const
{
    const QString scheme = m_certificate.isNull() ? QStringLiteral("http") : QStringLiteral("https");
    return QUrl(QStringLiteral("%1://127.0.0.1:%2%3").arg(scheme).arg(serverPort()).arg(path));
}

void TestHttpServer::incomingConnection(qintptr descriptor)
{
    QTcpSocket *socket;
    if (m_certificate.isNull()) {
        socket = new QTcpSocket(this);
        socket->setSocketDescriptor(descriptor);
    } else {
        auto *ssl = new QSslSocket(this);
        ssl->setSocketDescriptor(descriptor);
        ssl->setLocalCertificate(m_certificate);
        ssl->setPrivateKey(m_key);
        ssl->startServerEncryption();
        socket = ssl;
    }
    serve(socket);
}

void TestHttpServer::serve(QTcpSocket *socket)
{
    socket->setProperty("buffer", QByteArray());
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadable(socket); });
    connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
        if (socket->property("answering").toBool()) {
            socket->setProperty("answering", false);
            --inFlight;
        }
        ++closedConnections;
        socket->deleteLater();
    });
}

void TestHttpServer::onReadable(QTcpSocket *socket)
{
    QByteArray buffer = socket->property("buffer").toByteArray() + socket->readAll();
    socket->setProperty("buffer", buffer);
    if (socket->property("answering").toBool())
        return;
    const qsizetype end = buffer.indexOf("\r\n\r\n");
    if (end < 0)
        return;
    Request request;
    const QList<QByteArray> lines = buffer.left(end).split('\n');
    const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
    request.method = first.value(0);
    request.path = first.value(1);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon > 0)
            request.headers.append({lines[i].left(colon).trimmed().toLower(),
                                    lines[i].mid(colon + 1).trimmed()});
    }
    const qsizetype length = request.header("content-length").toLongLong();
    if (buffer.size() - end - 4 < length)
        return;
    request.body = buffer.mid(end + 4, length);
    request.arrivalMs = QDateTime::currentMSecsSinceEpoch();
    requests.append(request);
    socket->setProperty("answering", true);
    maxInFlight = qMax(maxInFlight, ++inFlight);

    const Response response = handler(request);
    if (response.silent)
        return;
    if (response.drop) {
        // The connection breaks in the middle of the answer. (A connection closed before any
        // answer would be tried again by the client on its own.)
        socket->setProperty("answering", false);
        --inFlight;
        socket->write("HTTP/1.1 200 OK\r\nContent-Length: 1000\r\nConnection: close\r\n\r\n<r>");
        socket->disconnectFromHost();
        return;
    }
    if (response.delayMs > 0) {
        QTimer::singleShot(response.delayMs, socket, [this, socket, response] { answer(socket, response); });
        return;
    }
    answer(socket, response);
}

void TestHttpServer::answer(QTcpSocket *socket, const Response &response)
{
    QByteArray head = "HTTP/1.1 " + QByteArray::number(response.status) + " Status\r\n";
    bool hasLength = false;
    for (const auto &h : response.headers) {
        head += h.first + ": " + h.second + "\r\n";
        hasLength = hasLength || h.first.toLower() == "content-length";
    }
    if (!hasLength)
        head += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
    head += "Connection: close\r\n\r\n";
    socket->write(head);

    const int chunks = qMax(1, response.chunks);
    const qsizetype part = (response.body.size() + chunks - 1) / chunks;
    auto finish = [this, socket] {
        if (socket->property("answering").toBool()) {
            socket->setProperty("answering", false);
            --inFlight;
        }
        socket->disconnectFromHost();
    };
    if (chunks == 1 || response.chunkIntervalMs <= 0) {
        socket->write(response.body);
        finish();
        return;
    }
    for (int i = 0; i < chunks; ++i) {
        const QByteArray piece = response.body.mid(i * part, part);
        QTimer::singleShot(response.chunkIntervalMs * (i + 1), socket, [socket, piece, finish, last = i == chunks - 1] {
            socket->write(piece);
            if (last)
                finish();
        });
    }
}

bool makeTestCertificate(QSslCertificate &certificate, QSslKey &key)
{
    QTemporaryDir dir;
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                   QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-days"),
                   QStringLiteral("1"), QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1"),
                   QStringLiteral("-keyout"), dir.filePath(QStringLiteral("key.pem")),
                   QStringLiteral("-out"), dir.filePath(QStringLiteral("cert.pem"))});
    if (!openssl.waitForFinished(30000) || openssl.exitCode() != 0)
        return false;
    QFile certFile(dir.filePath(QStringLiteral("cert.pem")));
    QFile keyFile(dir.filePath(QStringLiteral("key.pem")));
    if (!certFile.open(QIODevice::ReadOnly) || !keyFile.open(QIODevice::ReadOnly))
        return false;
    certificate = QSslCertificate(certFile.readAll(), QSsl::Pem);
    key = QSslKey(keyFile.readAll(), QSsl::Rsa, QSsl::Pem);
    return !certificate.isNull() && !key.isNull();
}
