#pragma once

#include <QString>

class QObject;

// What the user typed into the search page of the database tagger; any text may be empty.
struct ManualLookupQuery
{
    QString artist;
    QString release;
    QString title;
    QObject *resultParent = nullptr; // parent of the records an album search creates
};
