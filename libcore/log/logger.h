#pragma once

#include <QObject>
#include <QVariantList>

#include "libcore/log/logmessage.h"

// Base of every logger. Registered loggers receive every message.
class Logger : public QObject
{
    Q_OBJECT
public:
    explicit Logger(QObject *parent = nullptr);
    ~Logger() override;

    virtual void log(const LogMessage &message) = 0;

    void setRegistered(bool registered);
    bool isRegistered() const;

    static void logToAll(const LogMessage &message);
    static void info(quint32 code, const QVariantList &arguments = {});
    static void warning(quint32 code, const QVariantList &arguments = {});
    static void error(quint32 code, const QVariantList &arguments = {});
};
