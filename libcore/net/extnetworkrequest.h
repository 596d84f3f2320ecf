#pragma once

#include <QByteArray>
#include <QNetworkRequest>
#include <QUrl>

class CombinedProgressObject;
class IoStream;

// Where the body of a reply goes.
enum NetworkSinkKind : int {
    NoSink = 0,
    MemorySink = 1, // a memory stream owned by the reply
    CallerSink = 2, // the caller's stream in `sink`, not owned
};

// One request as sendNetworkRequest takes it: the Qt request plus where the body goes,
// the body sent by Put and Post, and how to wait.
class ExtNetworkRequest
{
public:
    explicit ExtNetworkRequest(const QUrl &url = QUrl());

    // Also sets the Content-Length header to the body's size; an empty body removes it.
    void setBody(const QByteArray &bytes);

    QNetworkRequest request;
    int sinkKind = MemorySink;
    IoStream *sink = nullptr;
    QByteArray body;
    bool synchronous = true;
    int timeoutMs = 10000; // inactivity time-out; -1 for none
    qint64 maximumSize = -1; // a longer body fails the request; -1 for no limit
    CombinedProgressObject *progress = nullptr;
};
