#include "libcore/net/extnetworkrequest.h"

ExtNetworkRequest::ExtNetworkRequest(const QUrl &url)
    : request(url)
{
}

void ExtNetworkRequest::setBody(const QByteArray &bytes)
{
    body = bytes;
    if (bytes.isEmpty())
        request.setHeader(QNetworkRequest::ContentLengthHeader, QVariant());
    else
        request.setHeader(QNetworkRequest::ContentLengthHeader, bytes.size());
}
