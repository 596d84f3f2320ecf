#pragma once

#include <QString>
#include <QVariant>

class AudioFile;
class TsExpression;

// Loads the text tables of the core, tagging and application packages in English, so
// that messages can be compared.
void loadEnglishTexts();

// Parses and evaluates a script for the file (null: no file) in the mode; the tree is
// deleted afterwards.
QVariant evaluateScript(const QString &script, AudioFile *file = nullptr, int mode = 0);
QString scriptText(const QString &script, AudioFile *file = nullptr);
QString scriptFileName(const QString &script, AudioFile *file = nullptr);
