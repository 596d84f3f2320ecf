#include "libcore/text/codepoint.h"

bool CodePoint::isLetter() const
{
    switch (category()) {
    case QChar::Letter_Uppercase:
    case QChar::Letter_Lowercase:
    case QChar::Letter_Titlecase:
    case QChar::Letter_Modifier:
    case QChar::Letter_Other:
        return true;
    default:
        return false;
    }
}

bool CodePoint::isMark() const
{
    switch (category()) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
        return true;
    default:
        return false;
    }
}

bool CodePoint::isNumber() const
{
    switch (category()) {
    case QChar::Number_DecimalDigit:
    case QChar::Number_Letter:
    case QChar::Number_Other:
        return true;
    default:
        return false;
    }
}

bool CodePoint::isPunct() const
{
    switch (category()) {
    case QChar::Punctuation_Connector:
    case QChar::Punctuation_Dash:
    case QChar::Punctuation_Open:
    case QChar::Punctuation_Close:
    case QChar::Punctuation_InitialQuote:
    case QChar::Punctuation_FinalQuote:
    case QChar::Punctuation_Other:
        return true;
    default:
        return false;
    }
}

bool CodePoint::isSymbol() const
{
    switch (category()) {
    case QChar::Symbol_Math:
    case QChar::Symbol_Currency:
    case QChar::Symbol_Modifier:
    case QChar::Symbol_Other:
        return true;
    default:
        return false;
    }
}

bool CodePoint::isSpace() const
{
    if (m_value >= 0x09 && m_value <= 0x0D)
        return true;
    switch (category()) {
    case QChar::Separator_Space:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return true;
    default:
        return false;
    }
}

bool CodePoint::isPrint() const
{
    const QChar::Category c = category();
    return c != QChar::Other_Control && c != QChar::Other_NotAssigned;
}

bool CodePoint::isApostrophe() const
{
    switch (m_value) {
    case 0x0027: case 0x0060: case 0x00B4: case 0x02B9:
    case 0x02BB: case 0x02BC: case 0x02BD: case 0x02CA: case 0x02CB:
    case 0x0300: case 0x0301: case 0x0312: case 0x0313: case 0x0314: case 0x0315:
    case 0x031B: case 0x0340: case 0x0341: case 0x0343:
    case 0x2018: case 0x2019: case 0x201B: case 0x2032: case 0x2035:
        return true;
    default:
        return false;
    }
}

QString CodePoint::toString() const
{
    if (m_value <= 0xFFFF)
        return QString(QChar(char16_t(m_value)));
    const quint32 v = m_value - 0x10000;
    const QChar pair[2] = {QChar(char16_t(0xD800 + (v >> 10))), QChar(char16_t(0xDC00 + (v & 0x3FF)))};
    return QString(pair, 2);
}
