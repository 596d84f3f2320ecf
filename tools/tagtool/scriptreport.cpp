#include "tools/tagtool/scriptreport.h"

#include "app/tagscript/patterncleanup.h"
#include "app/tagscript/scriptvariables.h"
#include "app/tagscript/tagscript.h"
#include "libcore/log/exception.h"
#include "libtagging/model/audiofile.h"

ScriptReport::ScriptReport(const QString &pattern, bool trimSeparators)
    : m_script(parseTagScript(pattern, &m_owner))
    , m_trimSeparators(trimSeparators)
{
    resetScriptCounters();
}

QJsonObject ScriptReport::evaluate(const QString &path)
{
    QJsonValue text = QJsonValue::Null;
    QJsonValue fileName = QJsonValue::Null;
    QJsonValue cleanFileName = QJsonValue::Null;
    QJsonValue error = QJsonValue::Null;
    try {
        // A file the program can't read is never loaded, so nothing is evaluated for it.
        AudioFile file(path);
        file.readTags(0);
        const QString displayText = evaluateToText(m_script, &file);
        const QString name = evaluateToFileName(m_script, &file);
        text = displayText;
        fileName = name;
        // A rename makes single file names: no folder levels to trim around.
        cleanFileName = m_trimSeparators ? cleanUpPatternResult(name, false) : name;
    } catch (const Exception &e) {
        text = fileName = cleanFileName = QJsonValue::Null;
        error = e.message();
    }
    return QJsonObject{
        {QStringLiteral("path"), path},
        {QStringLiteral("text"), text},
        {QStringLiteral("fileName"), fileName},
        {QStringLiteral("cleanFileName"), cleanFileName},
        {QStringLiteral("error"), error},
    };
}
