#pragma once

#include <QString>
#include <QVariant>

class AudioFile;
class TsExpression;

// Test texts are written in UTF-8 inside the source.
inline QString u(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

// Loads the text tables of the core, tagging and application packages in English, so
// that messages can be compared.
void loadEnglishTexts();

// Parses and evaluates a script for the file (null: no file) in the mode; the tree is
// deleted afterwards.
QVariant evaluateScript(const QString &script, AudioFile *file = nullptr, int mode = 0);
QString textOf(const QString &script, AudioFile *file = nullptr);
QString fileNameOf(const QString &script, AudioFile *file = nullptr);
