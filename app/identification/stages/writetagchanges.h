#pragma once

#include <QList>

class IdAudioFileGroup;
class ModelUpdateOperation;
class UpdateSet;

// Stage 8: gives the texts of the working copies of every group's selected files the
// identification's capitalisation style ("identification/capitalization/style"), for the
// item types of the capitalisation update set ("identification/capitalization/updateSet").
// Identifiers, fingerprints, links and codes keep their case; context files are not touched.
void writeTagChanges(const QList<IdAudioFileGroup *> &groups, ModelUpdateOperation *operation);

// The item types stage 8 may re-capitalise under the set (every type for the default set):
// the texts whose letter case carries no meaning of its own.
QList<int> capitalizedItemTypes(const UpdateSet &set);
// Whether the item type holds a text whose letter case must stay as it is: an identifier,
// a fingerprint, a link or a code.
bool keepsLetterCase(int itemType);
