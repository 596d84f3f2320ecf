#include "libcore/log/exception.h"

#include "libcore/log/logger.h"
#include "libcore/text/texttable.h"

Exception::Exception(quint32 code, const QVariantList &arguments, bool log)
    : code(code), arguments(arguments), logged(log)
{
    if (log)
        Logger::logToAll(LogMessage(code, Error, flattenArguments(arguments)));
}

QString Exception::message() const
{
    // Provisional: replaced by the catalogue's placeholder filling.
    QString t = textForId(code);
    for (const QVariant &a : arguments)
        t = t.arg(a.toString());
    return t;
}
