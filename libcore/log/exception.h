#pragma once

#include <QString>
#include <QVariantList>

// The one error type. The code is also the text id of the message; when `log` is true
// the exception reaches every registered logger as an error at construction.
class Exception
{
public:
    explicit Exception(quint32 code, const QVariantList &arguments = {}, bool log = true);

    QString message() const;

    quint32 code = 0;
    QVariantList arguments;
    bool logged = false;
};
