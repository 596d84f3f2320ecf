#include "libcore/log/exception.h"

#include "libcore/log/logger.h"

Exception::Exception(quint32 code, const QVariantList &arguments, bool log)
    : code(code), arguments(arguments), logged(log)
{
    if (log)
        Logger::logToAll(LogMessage(code, Error, flattenArguments(arguments)));
}

QString Exception::message() const
{
    return formatMessageText(code, arguments);
}
