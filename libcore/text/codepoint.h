#pragma once

#include <QChar>
#include <QHashFunctions>
#include <QString>

// One Unicode scalar value. Values above U+10FFFF are replaced by U+FFFD; surrogate values
// are kept as they are, so a lone surrogate unit survives a round trip.
class CodePoint
{
public:
    constexpr CodePoint() = default;
    // An 8-bit character is taken as Latin-1, never sign-extended.
    constexpr CodePoint(char c) : m_value(static_cast<unsigned char>(c)) {}
    constexpr CodePoint(QChar c) : m_value(c.unicode()) {}
    constexpr CodePoint(char16_t unit) : m_value(unit) {}
    constexpr CodePoint(quint16 unit) : m_value(unit) {}
    constexpr CodePoint(quint32 value) : m_value(value <= MaxValue ? value : ReplacementValue) {}
    constexpr CodePoint(char32_t value) : CodePoint(quint32(value)) {}
    // Negative values are no code points at all.
    constexpr CodePoint(int value) : CodePoint(value < 0 ? quint32(ReplacementValue) : quint32(value)) {}

    static constexpr quint32 MaxValue = 0x10FFFF;
    static constexpr quint32 ReplacementValue = 0xFFFD;

    constexpr quint32 value() const { return m_value; }
    constexpr void validate()
    {
        if (m_value > MaxValue)
            m_value = ReplacementValue;
    }

    QChar::Category category() const { return QChar::category(char32_t(m_value)); }
    bool isLetter() const;
    bool isMark() const;
    bool isNumber() const;
    bool isPunct() const;
    bool isSymbol() const;
    bool isSpace() const;
    bool isPrint() const;
    bool isApostrophe() const;

    constexpr bool requiresSurrogates() const { return m_value > 0xFFFF; }
    QString toString() const;
    constexpr char16_t toUtf16Unit() const { return m_value < 0x10000 ? char16_t(m_value) : char16_t(ReplacementValue); }

    friend constexpr bool operator==(CodePoint a, CodePoint b) { return a.m_value == b.m_value; }
    friend constexpr bool operator!=(CodePoint a, CodePoint b) { return a.m_value != b.m_value; }
    friend constexpr bool operator<(CodePoint a, CodePoint b) { return a.m_value < b.m_value; }
    friend constexpr bool operator<=(CodePoint a, CodePoint b) { return a.m_value <= b.m_value; }
    friend constexpr bool operator>(CodePoint a, CodePoint b) { return a.m_value > b.m_value; }
    friend constexpr bool operator>=(CodePoint a, CodePoint b) { return a.m_value >= b.m_value; }

private:
    quint32 m_value = 0;
};

inline size_t qHash(CodePoint c, size_t seed = 0) noexcept
{
    return qHash(c.value(), seed);
}

Q_DECLARE_TYPEINFO(CodePoint, Q_PRIMITIVE_TYPE);
