#pragma once

#include <QString>

// Which platform the process runs on; the lowest layers branch on it.
enum PlatformId : int {
    PlatformWindows = 0,
    PlatformMac = 1,
    PlatformUnix = 2,
};

// Scoped: TagTypeMode and others have a Keep of their own.
enum class LineEnding : int {
    Lf = 0,
    CrLf = 1,
    Cr = 2,
    Native = 3, // the platform's kind, see nativeLineEnding()
    Keep = 4,   // conversion leaves line endings alone
};

int platformId();
// The operating system's name as shown to users and sent to web services.
QString osName();
LineEnding nativeLineEnding();

// The text of a kind; Native gives the platform's; Keep and unknown kinds give a null text.
QString lineEndingString(LineEnding kind);
// Every "\r\n", lone "\r" and lone "\n" replaced by the text of the kind. Keep and unknown
// kinds return the text unchanged.
QString convertLineEndings(const QString &text, LineEnding kind);
