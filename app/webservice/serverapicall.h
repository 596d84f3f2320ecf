#pragma once

#include <QDomDocument>
#include <QDomElement>
#include <QObject>
#include <QString>

class CombinedProgressObject;

enum ServerApiCallTextId : quint32 {
    ServerCallTransportFailedTextId = 3919104812u, // [call id, error texts joined by " | "]
    ServerCallBusyTextId = 2362176852u,            // [call id]
    ServerCallErrorTextId = 1940622592u,           // [call id, the service's error code]
    ServerCallFailureTextId = 570596453u,          // [call id]
    ServerCallInvalidStatusTextId = 365981027u,    // [call id]
    ServerCallSucceededTextId = 2782796988u,       // [call id, t], an info entry
};

// The service's error code of a reply with status 1 that means "busy, try later".
constexpr quint32 ServiceBusyErrorCode = 0x1127aea6u;

// One exchange with the metadata service: the request document is built by the constructors
// (this one makes the envelope, the subclasses add their settings and data), execute() posts
// it and keeps the parsed reply for the subclass's readers. Every call of the process starts
// at least MinimumCallSpacingMs after the previous one ended, whichever thread made it.
class ServerApiCall : public QObject
{
    Q_OBJECT
public:
    static constexpr int MinimumCallSpacingMs = 250;
    static constexpr int ApiVersion = 3;
    // The longest reply body accepted; a longer one fails the call as a transport error.
    static constexpr qint64 MaximumReplySize = 8 * 1024 * 1024;

    ~ServerApiCall() override;

    // One exchange (and, for calls with results, the reading of the reply). Throws
    // Exception; returns normally only for a reply of status 0. A given progress object
    // must still be idle and without children.
    virtual void execute(CombinedProgressObject *progress) = 0;

    QString callId() const;
    const QDomDocument &requestDocument() const { return m_request; }
    const QDomDocument &replyDocument() const { return m_reply; }

    // When the previous call of the process ended, milliseconds since the epoch (0 at start).
    static qint64 previousCallEndTime();
    static void setPreviousCallEndTime(qint64 msecsSinceEpoch);

protected:
    ServerApiCall(const QString &callId, QObject *parent);

    // Appends <name>value</name> to the settings; an empty value adds nothing.
    void addSetting(const QString &name, const QString &value);
    // Posts the request, waits for the reply and checks its status (see execute()).
    void send(CombinedProgressObject *progress, int timeoutMs);

    // The call data element "r/d" of the request, and of the reply (null when it has none).
    QDomElement requestData() const;
    QDomElement replyData() const;

private:
    QDomDocument m_request;
    QDomDocument m_reply;
};

// The pause after a busy reply before the next attempt.
constexpr int BusyPauseMs = 10000;

// Runs call->execute(progress) up to 3 times, up to 10 in all once the service has said it
// is busy (each busy reply is followed by a pause of busyPauseMs). A failure status (2) and a
// missing or unusable service address are final at once. Rethrows the last error; returns
// without one when the progress object is cancelled between attempts.
void executeWithRetry(ServerApiCall *call, CombinedProgressObject *progress,
                      int busyPauseMs = BusyPauseMs);
