#pragma once

#include <QObject>
#include <QString>

class DbMedium;

// One track of a medium; a QObject child of its medium.
class DbTrack : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    DbMedium *medium = nullptr;
    int id = -1;
    QString artistCredit;
    int position = 0;
    QString title;
    int length = 0; // milliseconds; 0 when the service gives none
};
