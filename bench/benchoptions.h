#pragma once

#include <cstdio>

#include <QMap>
#include <QRegularExpression>
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

// The results a smoke run must give on its fixed input: "--expect NAME=N" (exactly N) or
// "--expect NAME>=N" (at least N), each taken out of the arguments before the benchmark
// reads its own. A result that misses, or an expectation no result was checked against,
// makes the exit code 1: a run that loaded nothing or replaced nothing does not pass.
class Expectations
{
public:
    // False for a malformed expectation.
    bool take(QStringList &arguments)
    {
        static const QRegularExpression form(QStringLiteral("^([a-z-]+)(>?=)(\\d+(\\.\\d+)?)$"));
        for (qsizetype i = 0; i < arguments.size();) {
            if (arguments.at(i) != u"--expect") {
                ++i;
                continue;
            }
            const QRegularExpressionMatch match = i + 1 < arguments.size() ? form.match(arguments.at(i + 1))
                                                                           : QRegularExpressionMatch();
            if (!match.hasMatch())
                return false;
            m_expected.insert(match.captured(1), {match.captured(3).toDouble(), match.captured(2) == u">="});
            arguments.remove(i, 2);
        }
        return true;
    }

    void check(const char *name, double value)
    {
        const auto it = m_expected.find(QString::fromLatin1(name));
        if (it == m_expected.end())
            return;
        const bool met = it->atLeast ? value >= it->value : value == it->value;
        if (!met) {
            std::fprintf(stderr, "expected %s %s %g, got %g\n", name, it->atLeast ? ">=" : "=", it->value, value);
            m_failed = true;
        }
        m_expected.erase(it);
    }

    int exitCode() const
    {
        for (auto it = m_expected.cbegin(); it != m_expected.cend(); ++it)
            std::fprintf(stderr, "expected %s, but no such result was measured\n", qPrintable(it.key()));
        return m_failed || !m_expected.isEmpty() ? 1 : 0;
    }

private:
    struct Expected
    {
        double value = 0;
        bool atLeast = false;
    };
    QMap<QString, Expected> m_expected;
    bool m_failed = false;
};
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
