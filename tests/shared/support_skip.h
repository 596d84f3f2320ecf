#pragma once

#include <QString>
#include <QTest>

// Whether a missing tool or capability fails the test instead of skipping it. scripts/test
// (and so CI, where scripts/setup has installed every tool) sets MELO_REQUIRE_TOOLS=1:
// there a skip would let a broken tool path or a failed set-up pass unseen.
inline bool toolsRequired()
{
    return qEnvironmentVariableIntValue("MELO_REQUIRE_TOOLS") != 0;
}

// Skips the test for a missing tool or capability, or fails it where tools are required.
#define MELO_SKIP_TOOL(why)                                                                     \
    do {                                                                                        \
        if (toolsRequired())                                                                    \
            QFAIL(qPrintable(QStringLiteral("%1 (MELO_REQUIRE_TOOLS is set)").arg(QString(why)))); \
        QSKIP(qPrintable(QString(why)));                                                        \
    } while (false)
