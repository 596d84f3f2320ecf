#include "libcore/util/base64.h"

QString toBase64String(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toBase64());
}

QByteArray fromBase64Url(const QString &text)
{
    QByteArray data = text.toLatin1();
    data.replace('-', '+');
    data.replace('_', '/');
    data.replace("%3d", "=");
    data.replace("%3D", "=");
    return QByteArray::fromBase64(data);
}
