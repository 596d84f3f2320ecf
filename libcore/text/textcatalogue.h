#pragma once

#include <QList>
#include <QLocale>
#include <QString>

// One translation of a catalogued text.
struct TextTranslation {
    QLocale::Language language = QLocale::AnyLanguage;
    QLocale::Country country = QLocale::AnyCountry; // AnyCountry when the code names none
    QString text;
};

// One catalogued id with its translations in document order.
struct TextEntry {
    quint32 id = 0;
    QList<TextTranslation> translations;
};

// Every text of every loaded text table, and the choice of one language for the run
// (written into the text table that textForId reads). Filled on the GUI thread at start-up.
class TextCatalogue
{
public:
    // Appends the entries of a "text/text.xml" table; the text table is not touched.
    static void load(const QString &path);
    // Rebuilds the text table: each id gets its primary-locale text, else its fallback text.
    // Throws 521231605 for an id that yields a text twice.
    static void applyLanguage(const QLocale &primary, const QLocale &fallback);

    static const QList<TextEntry> &entries();
    // Forgets every loaded entry and empties the text table.
    static void clear();
};
