#pragma once

#include <QJsonObject>
#include <QObject>
#include <QString>

class TsExpression;

// What a naming pattern makes of audio files, evaluated as the rename dialog evaluates it:
// parsed once, the script counters started afresh, then each file in turn.
class ScriptReport
{
public:
    // Parses the pattern; a syntax error throws the parser's coded Exception.
    // trimSeparators: whether the file-name result is cleaned up before use.
    ScriptReport(const QString &pattern, bool trimSeparators);

    // Reads the file and evaluates the pattern for it; never throws: a file that can't be
    // read or evaluated gets null results and its message in "error".
    QJsonObject evaluate(const QString &path);

private:
    QObject m_owner;
    TsExpression *m_script = nullptr;
    bool m_trimSeparators = true;
};
