#pragma once

#include <cstdio>

#include <QStringList>

#include "libcore/text/formatting.h"

namespace Bench {
// Prints the message, its first letter capitalised, on standard error; the exit code of a
// benchmark that could not run.
inline int fail(const QString &message)
{
    std::fprintf(stderr, "%s\n", upperCaseFirst(message).toLocal8Bit().constData());
    return 2;
}
} // namespace Bench

// Reads the options the in-memory benchmarks share, "--files N" and "--passes N", over the
// given defaults. False for any other argument, a missing or unreadable number, or a count
// below 1.
inline bool readFilesAndPasses(const QStringList &arguments, int &fileCount, int &passes)
{
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        bool ok = i + 1 < arguments.size();
        if (ok && arguments.at(i) == u"--files")
            fileCount = arguments.at(++i).toInt(&ok);
        else if (ok && arguments.at(i) == u"--passes")
            passes = arguments.at(++i).toInt(&ok);
        else
            ok = false;
        if (!ok || fileCount < 1 || passes < 1)
            return false;
    }
    return true;
}
