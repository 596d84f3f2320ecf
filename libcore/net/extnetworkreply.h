#pragma once

#include <QList>
#include <QNetworkReply>
#include <QObject>
#include <QSslError>
#include <QStringList>
#include <QTimer>

class CombinedProgressObject;
class IoStream;

// Text ids of the reply's own error texts.
enum NetworkReplyTextId : quint32 {
    NetworkTimeoutTextId = 2019454048u,
    NetworkSinkWriteFailedTextId = 227572296u,
    NetworkReplyTooLargeTextId = 2828401080u, // [limit in bytes]
};

// Wraps one QNetworkReply: writes its body into a sink as it arrives, ends it when the server
// stays silent for too long, reports progress, and keeps the first error with its texts.
class ExtNetworkReply : public QObject
{
    Q_OBJECT
public:
    enum Status : int {
        Running = 0,
        Succeeded = 1,
        Failed = 2,
    };

    // Takes `reply` as a child (it may be null: the reply then has failed). With a progress
    // object, adds two children to it (elapsed time, then received bytes), so the object
    // handed in must have none of its own.
    ExtNetworkReply(QNetworkReply *reply, int timeoutMs, IoStream *sink,
                    CombinedProgressObject *progress, QObject *parent = nullptr);
    ~ExtNetworkReply() override;

    int status() const;
    // The whole content of the sink; empty without a sink or when it cannot be read.
    QByteArray data() const;
    // The recorded error's text first, then SSL error texts and cipher details.
    QStringList errorStrings() const;
    QNetworkReply::NetworkError errorCode() const;

    QNetworkReply *reply() const;
    IoStream *sink() const;
    CombinedProgressObject *progress() const;

    // A body longer than `bytes` ends the request with an error; -1 (the default) for none.
    void setMaximumSize(qint64 bytes);

    // Ends a running request for good and records `code` as its error.
    void abort(QNetworkReply::NetworkError code);

Q_SIGNALS:
    void finished();
    void error(QNetworkReply::NetworkError code);
    void dataArrived(const QByteArray &bytes);

private Q_SLOTS:
    void onReadyRead();
    void onFinished();
    void onError(QNetworkReply::NetworkError code);
    void onSslErrors(const QList<QSslError> &errors);
    void onTimeout();

private:
    // Aborts the wrapped reply without letting it signal; the caller records the outcome.
    void stopQuietly();
    void recordError(QNetworkReply::NetworkError code, const QString &text);

    QNetworkReply *m_reply = nullptr;
    QTimer m_timer;
    IoStream *m_sink = nullptr;
    CombinedProgressObject *m_progress = nullptr;
    QNetworkReply::NetworkError m_errorCode = QNetworkReply::NoError;
    QStringList m_errorStrings;
    qint64 m_maximumSize = -1;
    qint64 m_received = 0;
};
