#include "app/identification/idtexttests.h"

#include "app/identification/idartistname.h"
#include "libcore/text/codepoint.h"
#include "libcore/text/codepointiterator.h"
#include "libcore/text/stringutils.h"
#include "libcore/text/textmatching.h"

#include <atomic>

namespace {
std::atomic<int> pinnedYear{0};

bool isAlphanumeric(CodePoint c)
{
    return c.isLetter() || c.isNumber();
}

// The text without the code points at both ends that `strip` accepts.
template<typename Predicate>
QString trimmed(const QString &text, Predicate strip)
{
    CodePointIterator front(text);
    int start = 0;
    while (front.position < text.size()) {
        if (!strip(front.current()))
            break;
        front.next();
        start = front.position;
    }
    CodePointIterator back(text);
    back.position = int(text.size());
    int end = int(text.size());
    while (back.position > start) {
        if (!strip(back.peekPrevious()))
            break;
        back.previous();
        end = back.position;
    }
    return text.mid(start, end - start);
}

bool isOpeningBracket(QChar c)
{
    return c == u'(' || c == u'[' || c == u'{';
}

QChar closerOf(QChar c)
{
    return c == u'(' ? u')' : c == u'[' ? u']' : u'}';
}
} // namespace

bool isSeparatorCodePoint(CodePoint c)
{
    return !isAlphanumeric(c);
}

bool isDashCodePoint(CodePoint c)
{
    return c.category() == QChar::Punctuation_Dash;
}

QString trimToAlphanumeric(const QString &text)
{
    return trimmed(text, [](CodePoint c) { return !isAlphanumeric(c); });
}

QString trimSpacesAndDashes(const QString &text)
{
    return trimmed(text, [](CodePoint c) { return c.isSpace() || isDashCodePoint(c); });
}

int buildYear()
{
    // __DATE__ reads "Mmm dd yyyy".
    static const int year = QString::fromLatin1(__DATE__).right(4).toInt();
    return year;
}

int currentYear()
{
    const int pinned = pinnedYear.load(std::memory_order_relaxed);
    return pinned ? pinned : QDate::currentDate().year();
}

void setCurrentDateForTesting(const QDate &date)
{
    pinnedYear.store(date.isValid() ? date.year() : 0, std::memory_order_relaxed);
}

int isYear(const QString &text)
{
    bool ok = false;
    const int year = text.toInt(&ok, 10);
    return ok && year >= 1900 && year <= qMax(buildYear(), currentYear()) + 1 ? year : -1;
}

int smallNumber(const QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return ok && value > 0 && value < 1900 ? value : -1;
}

bool isSimilarArtistName(const QString &a, const QString &b)
{
    return isSimilarText(IdArtistName(a).sortKey(), IdArtistName(b).sortKey());
}

QString normalizeUnderscores(const QString &text)
{
    QString result = text;
    if (text.contains(u'_') && text.contains(u' ') && !text.contains(u'-')) {
        result.replace(u'_', u'-');
        return result;
    }
    result.replace(QStringLiteral("___"), QStringLiteral(" - "));
    result.replace(u'_', u' ');
    return result;
}

QString replaceLetterOInNumbers(const QString &text)
{
    QString result;
    result.reserve(text.size());
    CodePointIterator it(text);
    while (it.position < text.size()) {
        const int start = it.position;
        if (isSeparatorCodePoint(it.current())) {
            it.next();
            result += QStringView(text).mid(start, it.position - start);
            continue;
        }
        while (it.position < text.size() && !isSeparatorCodePoint(it.current()))
            it.next();
        const QStringView run = QStringView(text).mid(start, it.position - start);
        bool digit = false;
        bool onlyDigitsAndO = true;
        for (QChar c : run) {
            if (c >= u'0' && c <= u'9')
                digit = true;
            else if (c != u'o' && c != u'O')
                onlyDigitsAndO = false;
        }
        if (digit && onlyDigitsAndO) {
            for (QChar c : run)
                result += (c == u'o' || c == u'O') ? QChar(u'0') : c;
        } else {
            result += run;
        }
    }
    return result;
}

QString &cleanUpBrackets(QString &text)
{
    text = trimSpacesAndDashes(text);
    QList<bool> done(text.size(), false);
    for (qsizetype i = text.size() - 1; i >= 0; --i) {
        if (done.at(i) || !isOpeningBracket(text.at(i)))
            continue;
        const QChar closer = closerOf(text.at(i));
        qsizetype j = i + 1;
        while (j < text.size() && (done.at(j) || text.at(j) != closer))
            ++j;
        if (j == text.size()) {
            text += closer;
            done.append(false);
        }
        const QString left = alphanumericKey(QStringView(text).left(i));
        const QString inner = alphanumericKey(QStringView(text).mid(i + 1, j - i - 1));
        const QString right = alphanumericKey(QStringView(text).mid(j + 1));
        if (inner.isEmpty() || (left.isEmpty() && right.isEmpty())) {
            text.remove(j, 1);
            done.remove(j);
            text.remove(i, 1);
            done.remove(i);
            for (qsizetype k = i; k < j - 1; ++k)
                done[k] = true;
        } else {
            for (qsizetype k = i; k <= j; ++k)
                done[k] = true;
        }
    }
    for (qsizetype i = text.size() - 1; i >= 0; --i) {
        if (!done.at(i) && text.at(i).category() == QChar::Punctuation_Close)
            text.remove(i, 1);
    }
    text = trimSpacesAndDashes(text);
    while (text.contains(QStringLiteral("  ")))
        text.replace(QStringLiteral("  "), QStringLiteral(" "));
    return text;
}
