#pragma once

#include "libcore/log/streamlogger.h"

// Writes the log lines to the process's standard output. Registers itself.
class ConsoleLogger : public StreamLogger
{
    Q_OBJECT
public:
    explicit ConsoleLogger(QObject *parent = nullptr);
    ~ConsoleLogger() override;
};
