#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <functional>

// `tagtool identify`: the files and folders are loaded into the headless main window's model
// as the program loads them and identified by the identification thread, as the automatic
// tagger runs it. Nothing is saved: the tool shows what the resulting update would write.
class IdentifyReport
{
public:
    // Reads "--service URL" and the paths. Throws a coded Exception for an option without its
    // argument, an unknown option, or no path.
    static IdentifyReport parse(const QStringList &arguments);
    // Needs a QApplication. Prints one object per file, in path order: "path", "onlineLookup",
    // "identified" (field to {"value", "confidence"}), "group" ({"index", "type", "artist",
    // "album"} or null) and "working" (item type to the values the update would give the file;
    // only types it changes). Throws a coded Exception when no audio file was found or the run
    // failed.
    void run(const std::function<void(const QJsonObject &)> &print) const;

    QString service; // empty: the online lookup is left out
    QStringList paths;
};
