#include "libcore/log/logmessage.h"

#include <QDateTime>

#include "libcore/text/texttable.h"

LogMessage::LogMessage(quint32 code, LogLevel level, const QVariantList &arguments)
    : code(code), level(level), arguments(arguments), time(QDateTime::currentMSecsSinceEpoch())
{
    for (QVariant &a : this->arguments) {
        if (a.typeId() == QMetaType::QString && a.toString().size() > 1024)
            a = QVariant(a.toString().left(1024));
        else if (a.typeId() == QMetaType::QByteArray && a.toByteArray().size() > 1024)
            a = QVariant(a.toByteArray().left(1024));
    }
}

LogMessage::LogMessage(const QString &text, LogLevel level)
    : m_text(text), level(level), time(QDateTime::currentMSecsSinceEpoch())
{
}

QString LogMessage::text() const
{
    if (level == NoLevel)
        return QString();
    if (code == 0)
        return m_text;
    // Provisional: replaced by the catalogue's placeholder filling.
    QString t = textForId(code);
    for (const QVariant &a : arguments)
        t = t.arg(a.toString());
    return t;
}

QVariantList flattenArguments(const QVariantList &arguments)
{
    if (arguments.size() == 1 && arguments.first().typeId() == QMetaType::QVariantList)
        return arguments.first().toList();
    return arguments;
}
