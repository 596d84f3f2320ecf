#include "app/tagscript/support_tagscript.h"

#include "app/tagscript/tagscript.h"
#include "app/tagscript/tsexpression.h"
#include "app/shell/applicationresources.h"
#include "libcore/text/resourcepackage.h"
#include "libcore/text/textcatalogue.h"

#include <QLocale>
#include <QObject>

#include <memory>

void loadEnglishTexts()
{
    registerApplicationResources();
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    TextCatalogue::applyLanguage(english, english);
}

QVariant evaluateScript(const QString &script, AudioFile *file, int mode)
{
    QObject owner;
    return parseTagScript(script, &owner)->evaluate(file, mode);
}

QString textOf(const QString &script, AudioFile *file)
{
    QObject owner;
    return evaluateToText(parseTagScript(script, &owner), file);
}

QString fileNameOf(const QString &script, AudioFile *file)
{
    QObject owner;
    return evaluateToFileName(parseTagScript(script, &owner), file);
}
