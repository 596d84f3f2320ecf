#include "libcore/net/extnetworkreply.h"

#include <QSslCipher>
#include <QSslConfiguration>

#include "libcore/io/iostream.h"
#include "libcore/log/exception.h"
#include "libcore/progress/combinedprogressobject.h"
#include "libcore/progress/linearprogressobject.h"
#include "libcore/progress/timeoutprogressobject.h"
#include "libcore/text/formatting.h"
#include "libcore/text/texttable.h"

ExtNetworkReply::ExtNetworkReply(QNetworkReply *reply, int timeoutMs, IoStream *sink,
                                 CombinedProgressObject *progress, QObject *parent)
    : QObject(parent), m_reply(reply), m_sink(sink), m_progress(progress)
{
    if (!m_reply)
        return;
    m_reply->setParent(this);
    connect(m_reply, &QNetworkReply::readyRead, this, &ExtNetworkReply::onReadyRead);
    connect(m_reply, &QNetworkReply::finished, this, &ExtNetworkReply::onFinished);
    connect(m_reply, &QNetworkReply::errorOccurred, this, &ExtNetworkReply::onError);
    connect(m_reply, &QNetworkReply::sslErrors, this, &ExtNetworkReply::onSslErrors);
    connect(&m_timer, &QTimer::timeout, this, &ExtNetworkReply::onTimeout);

    if (m_progress) {
        // The time-out child moves while the server is silent; the linear one counts bytes.
        // Both start as children of the reply, so that a progress object that takes no more
        // children (it has run already) leaves nothing behind.
        auto *waiting = new TimeoutProgressObject(this);
        m_progress->addChild(waiting, 0.5, true);
        m_progress->addChild(new LinearProgressObject(this), 0.5, true);
        waiting->start(timeoutMs);
    }
    if (timeoutMs != -1) {
        m_timer.setSingleShot(true);
        m_timer.start(timeoutMs);
    }
}

ExtNetworkReply::~ExtNetworkReply()
{
    // Nothing of a request may go on once its reply is gone.
    stopQuietly();
}

int ExtNetworkReply::status() const
{
    if (!m_reply || m_errorCode != QNetworkReply::NoError)
        return Failed;
    return m_reply->isFinished() ? Succeeded : Running;
}

QByteArray ExtNetworkReply::data() const
{
    if (!m_sink)
        return {};
    try {
        return m_sink->data();
    } catch (const Exception &) {
        return {};
    }
}

QStringList ExtNetworkReply::errorStrings() const
{
    return m_errorStrings;
}

QNetworkReply::NetworkError ExtNetworkReply::errorCode() const
{
    return m_errorCode;
}

QNetworkReply *ExtNetworkReply::reply() const
{
    return m_reply;
}

IoStream *ExtNetworkReply::sink() const
{
    return m_sink;
}

CombinedProgressObject *ExtNetworkReply::progress() const
{
    return m_progress;
}

void ExtNetworkReply::setMaximumSize(qint64 bytes)
{
    m_maximumSize = bytes;
}

void ExtNetworkReply::abort(QNetworkReply::NetworkError code)
{
    stopQuietly();
    onError(code);
}

void ExtNetworkReply::stopQuietly()
{
    m_timer.stop();
    // A reply that reported an error is done already, only its finished() is still on
    // the way; aborting it again would report a second error.
    if (m_reply && !m_reply->isFinished() && m_errorCode == QNetworkReply::NoError) {
        // Disconnect rather than block signals: Qt's HTTP reply asks its worker thread to
        // drop the connection through a signal of its own, which blocking would swallow.
        disconnect(m_reply, nullptr, this, nullptr);
        m_reply->abort();
    }
}

void ExtNetworkReply::onReadyRead()
{
    if (m_timer.isActive())
        m_timer.start(); // the time-out counts from the last arrival of data
    const QByteArray bytes = m_reply->readAll();
    m_received += bytes.size();
    if (m_maximumSize >= 0 && m_received > m_maximumSize) {
        // A hostile or broken server must not make us hold an unbounded body.
        stopQuietly();
        recordError(QNetworkReply::UnknownContentError,
                    upperCaseFirst(fillPlaceholders(textForId(NetworkReplyTooLargeTextId),
                                                    {QString::number(m_maximumSize)})));
        return;
    }
    if (m_sink) {
        try {
            m_sink->writeBytes(bytes);
        } catch (const Exception &e) {
            // A body that could not be stored is a failed request, never a success.
            stopQuietly();
            const QString text = textForId(NetworkSinkWriteFailedTextId);
            recordError(QNetworkReply::UnknownContentError,
                        upperCaseFirst(fillPlaceholders(text, {e.message()})));
            return;
        }
    }
    if (m_progress) {
        if (ProgressObject *waiting = m_progress->child(0))
            waiting->finish();
        if (auto *received = qobject_cast<LinearProgressObject *>(m_progress->child(1))) {
            if (!received->isRunning() && !received->isFinished() && !received->isCanceled()) {
                bool ok = false;
                const qlonglong length =
                    m_reply->header(QNetworkRequest::ContentLengthHeader).toLongLong(&ok);
                if (ok && length > 0 && length <= INT_MAX)
                    received->setMaximum(int(length));
            }
            received->advance(int(qMin<qsizetype>(bytes.size(), INT_MAX)));
        }
    }
    Q_EMIT dataArrived(bytes);
}

void ExtNetworkReply::onFinished()
{
    m_timer.stop();
    if (m_errorCode != QNetworkReply::NoError)
        return;
    if (m_progress)
        m_progress->finish();
    Q_EMIT finished();
}

void ExtNetworkReply::onError(QNetworkReply::NetworkError code)
{
    if (code == QNetworkReply::NoError || m_errorCode != QNetworkReply::NoError)
        return;
    QString text;
    if (code == QNetworkReply::TimeoutError)
        text = upperCaseFirst(textForId(NetworkTimeoutTextId));
    else if (m_reply)
        text = m_reply->errorString();
    recordError(code, text);
}

void ExtNetworkReply::recordError(QNetworkReply::NetworkError code, const QString &text)
{
    if (m_errorCode != QNetworkReply::NoError)
        return;
    m_errorCode = code;
    m_timer.stop();
    if (!text.isEmpty())
        m_errorStrings.prepend(text);
    Q_EMIT error(code);
}

void ExtNetworkReply::onSslErrors(const QList<QSslError> &errors)
{
    for (const QSslError &e : errors) {
        if (e.error() != QSslError::NoError)
            m_errorStrings.append(e.errorString());
    }
    const QSslCipher cipher = m_reply->sslConfiguration().sessionCipher();
    if (!cipher.isNull()) {
        m_errorStrings.append(fillPlaceholders(
            QStringLiteral("Cipher details: %1,%2,%3,%4,%5"),
            {cipher.authenticationMethod(), cipher.encryptionMethod(),
             cipher.keyExchangeMethod(), cipher.name(), cipher.protocolString()}));
    }
}

void ExtNetworkReply::onTimeout()
{
    if (!m_reply || m_reply->isFinished())
        return;
    abort(QNetworkReply::TimeoutError);
}
