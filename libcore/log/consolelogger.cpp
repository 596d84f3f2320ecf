#include "libcore/log/consolelogger.h"

#include <QFile>

#include <cstdio>

ConsoleLogger::ConsoleLogger(QObject *parent) : StreamLogger(parent)
{
    auto *out = new QFile(this);
    // Without a usable stdout the device stays closed and writes fail silently.
    (void)out->open(stdout, QIODevice::WriteOnly);
    setDevice(out);
    setRegistered(true);
}

ConsoleLogger::~ConsoleLogger()
{
    setRegistered(false);
}
