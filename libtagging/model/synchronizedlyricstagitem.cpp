#include "libtagging/model/synchronizedlyricstagitem.h"

SynchronizedLyricsTagItem::SynchronizedLyricsTagItem(QObject *parent) : TagItem(parent) {}

SynchronizedLyricsTagItem::SynchronizedLyricsTagItem(const LanguageInfo &language, const QString &description,
                                                     int contentType,
                                                     const QList<SynchronizedLyricsLine> &lines, QObject *parent)
    : TagItem(parent), language(language), description(description), contentType(contentType), lines(lines)
{
}

SynchronizedLyricsTagItem::SynchronizedLyricsTagItem(const QString &description, int contentType,
                                                     const QList<SynchronizedLyricsLine> &lines, QObject *parent)
    : SynchronizedLyricsTagItem(LanguageInfo(), description, contentType, lines, parent)
{
}

TagItem *SynchronizedLyricsTagItem::clone(QObject *parent) const
{
    return new SynchronizedLyricsTagItem(language, description, contentType, lines, parent);
}

bool SynchronizedLyricsTagItem::equals(const TagItem *other) const
{
    if (!other || other->type() != Type)
        return false;
    const auto *o = static_cast<const SynchronizedLyricsTagItem *>(other);
    return o->description == description && o->contentType == contentType && o->lines == lines;
}

bool SynchronizedLyricsTagItem::isEmpty() const
{
    return lines.isEmpty();
}

bool SynchronizedLyricsTagItem::isTextual() const
{
    return true;
}

QString SynchronizedLyricsTagItem::toString(const QString &) const
{
    QString text;
    for (const SynchronizedLyricsLine &line : lines) {
        text += line.text;
        text += QLatin1Char('\n');
    }
    return text.trimmed();
}

int SynchronizedLyricsTagItem::type() const
{
    return Type;
}
