#pragma once

#include <QByteArray>
#include <QObject>
#include <QRecursiveMutex>
#include <QString>

class ExtNetworkReply;
class ExtNetworkRequest;

enum NetworkOperation : int {
    HeadOperation = 1,
    GetOperation = 2,
    PutOperation = 3,
    PostOperation = 4,
    DeleteOperation = 5,
};

enum NetworkTextId : quint32 {
    DownloadFailedWarningId = 3662285311u,   // [url, errors]
    DownloadFailedTextId = 529499620u,       // [url, errors]
    RedirectLoopWarningId = 3735948572u,     // [url, repeated url]
    RedirectLoopTextId = 3221849545u,        // [url, repeated url]
    TooManyRedirectsWarningId = 614978579u,  // [url, limit]
    TooManyRedirectsTextId = 1221605359u,    // [url, limit]
};

// downloadData holds the network lock across a whole redirect chain; a longer chain fails.
constexpr int MaxRedirects = 10;

// Serialises every request of the process, from its start until its reply is complete.
QRecursiveMutex &networkMutex();

// Sends one request through the calling thread's manager. Network failures never throw:
// the reply's status and error texts tell the outcome. A synchronous request waits in a
// local event loop that ignores user input; when its progress object is cancelled, the
// request is aborted and the reply fails with QNetworkReply::OperationCanceledError.
// An operation outside NetworkOperation gives a reply without a wrapped reply (failed).
ExtNetworkReply *sendNetworkRequest(int operation, const ExtNetworkRequest &request,
                                    QObject *parent);

// The body of a Get of the URL after following redirects (relative ones against the URL
// that was asked for); throws a coded Exception on failure, a redirect loop or too many
// redirects. A body longer than maximumSize bytes (unless -1) fails like a transport error.
QByteArray downloadData(const QString &url, qint64 maximumSize = -1);
