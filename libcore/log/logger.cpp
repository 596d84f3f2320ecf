#include "libcore/log/logger.h"

#include <QList>
#include <QRecursiveMutex>

namespace {
struct Registry {
    QRecursiveMutex mutex;
    QList<Logger *> loggers;
};
Registry &registry()
{
    static auto *r = new Registry();
    return *r;
}
} // namespace

Logger::Logger(QObject *parent) : QObject(parent) {}

Logger::~Logger()
{
    setRegistered(false);
}

void Logger::setRegistered(bool registered)
{
    Registry &r = registry();
    QMutexLocker lock(&r.mutex);
    if (registered) {
        if (!r.loggers.contains(this))
            r.loggers.append(this);
    } else {
        r.loggers.removeAll(this);
    }
}

bool Logger::isRegistered() const
{
    Registry &r = registry();
    QMutexLocker lock(&r.mutex);
    return r.loggers.contains(const_cast<Logger *>(this));
}

void Logger::logToAll(const LogMessage &message)
{
    Registry &r = registry();
    QMutexLocker lock(&r.mutex);
    const QList<Logger *> loggers = r.loggers;
    for (Logger *logger : loggers)
        logger->log(message);
}

void Logger::info(quint32 code, const QVariantList &arguments)
{
    logToAll(LogMessage(code, Info, flattenArguments(arguments)));
}

void Logger::warning(quint32 code, const QVariantList &arguments)
{
    logToAll(LogMessage(code, Warning, flattenArguments(arguments)));
}

void Logger::error(quint32 code, const QVariantList &arguments)
{
    logToAll(LogMessage(code, Error, flattenArguments(arguments)));
}
