#include "app/webservice/getappversionapicall.h"

#include "libcore/xml/xpath.h"

GetAppVersionApiCall::GetAppVersionApiCall(QObject *parent)
    : ServerApiCall(QStringLiteral("74008092"), parent)
{
}

void GetAppVersionApiCall::execute(CombinedProgressObject *progress)
{
    send(progress, TimeoutMs);
}

int GetAppVersionApiCall::replyNumber(const QString &path) const
{
    const QDomElement data = replyData();
    if (data.isNull())
        return 0;
    return xmlNodeText(xpathSelect(data, path).value(0)).toInt();
}

GetAppVersionApiCall::Version GetAppVersionApiCall::latestVersion() const
{
    return {replyNumber(QStringLiteral("v/@a")), replyNumber(QStringLiteral("v/@b")),
            replyNumber(QStringLiteral("v/@c"))};
}

QDate GetAppVersionApiCall::latestVersionDate() const
{
    const QDate date(replyNumber(QStringLiteral("d/@y")), replyNumber(QStringLiteral("d/@m")),
                     replyNumber(QStringLiteral("d/@d")));
    return date.isValid() ? date : QDate();
}
