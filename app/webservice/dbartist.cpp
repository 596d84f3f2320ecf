#include "app/webservice/dbartist.h"

QString DbArtist::displayName() const
{
    if (comment.isEmpty())
        return name;
    return name + QStringLiteral(" (") + comment + QLatin1Char(')');
}
