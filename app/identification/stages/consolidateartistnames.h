#pragma once

#include <QList>

class IdAudioFile;

// Stage 5: within a folder's files, a value of the field that few files carry (6 or fewer)
// gives way to a similar value that clearly more files carry, written in the capitalisation
// most of those use. Field 1 (artist) compares artist names with their article at the end;
// any other field compares texts.
void consolidateArtistNames(const QList<IdAudioFile *> &files, int field);
