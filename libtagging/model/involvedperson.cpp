#include "libtagging/model/involvedperson.h"

InvolvedPerson InvolvedPerson::fromPerformerText(const QString &text)
{
    const QString trimmed = text.trimmed();
    const qsizetype open = trimmed.lastIndexOf(QLatin1Char('('));
    if (open < 0 || !trimmed.endsWith(QLatin1Char(')')))
        return InvolvedPerson(Musician, trimmed, QString());
    const QString inner = trimmed.mid(open + 1, trimmed.size() - open - 2);
    if (inner.contains(QLatin1Char('(')) || inner.contains(QLatin1Char(')')))
        return InvolvedPerson(Musician, trimmed, QString());
    return InvolvedPerson(Musician, trimmed.left(open).trimmed(), inner.trimmed());
}
