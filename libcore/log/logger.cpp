#include "libcore/log/logger.h"

#include <QList>

namespace {
struct Registry {
    QRecursiveMutex mutex;
    QList<Logger *> loggers;
};

Registry &registry()
{
    // Never freed: static destructors may still log.
    static auto *r = new Registry();
    return *r;
}
} // namespace

Logger::Logger(QObject *parent) : QObject(parent) {}

Logger::~Logger()
{
    // The registered kinds leave the registry in their own destructors already; this only
    // catches a plain logger registered by hand.
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

bool Logger::showTimestamp() const
{
    QMutexLocker lock(&m_mutex);
    return m_showTimestamp;
}

bool Logger::showCode() const
{
    QMutexLocker lock(&m_mutex);
    return m_showCode;
}

bool Logger::showLevel() const
{
    QMutexLocker lock(&m_mutex);
    return m_showLevel;
}

void Logger::setShowTimestamp(bool show)
{
    QMutexLocker lock(&m_mutex);
    m_showTimestamp = show;
}

void Logger::setShowCode(bool show)
{
    QMutexLocker lock(&m_mutex);
    m_showCode = show;
}

void Logger::setShowLevel(bool show)
{
    QMutexLocker lock(&m_mutex);
    m_showLevel = show;
}

void Logger::logToAll(const LogMessage &message)
{
    Registry &r = registry();
    QMutexLocker lock(&r.mutex);
    // A copy, so that a logger that (un)registers from inside its log() cannot invalidate
    // the walk.
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
