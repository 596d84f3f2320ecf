#pragma once

#include <QObject>
#include <QString>

// One artist of a release group's credit, as the manual album search lists it.
class DbArtist : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // The name, with the comment in parentheses when there is one; also the sort key.
    QString displayName() const;

    int id = 0;
    QString name;
    QString comment; // tells artists of the same name apart
    int priority = 0; // the higher one wins between otherwise equal artists
};
