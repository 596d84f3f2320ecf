#pragma once

#include <QList>
#include <QString>

#include "app/model/modeldatatype.h"
#include "libgui/dialogs/validation.h"

class AudioFileSelection;
class IAudioFileModel;
class QObject;
class SearchQuery;

enum FindReplaceQueryTextId : quint32 {
    WildcardsInfoTextId = 2642700686u,
    RegularExpressionInfoTextId = 3807700420u,
    InvalidRegularExpressionTextId = 150769015u, // %1 what is wrong
    EmptyFindTextTextId = 275810493u,
};

// The settings of the find and replace dialog that make a query, without the widgets, so
// that the query can be built and checked anywhere (the benchmark builds the dialog's
// queries this way).
struct FindReplaceOptions {
    enum Scope : int {
        AllFiles = 0,
        DisplayedFiles = 1,
        SelectedFiles = 2,
        SelectedCells = 3,
        PreviousScope = 4,
    };

    QString findText;
    bool replaces = false; // replace mode: the query carries the replacement text
    QString replacementText;
    int scope = AllFiles;
    // Empty: every column the scope offers.
    QList<ModelDataType> dataTypes;
    bool matchCase = false;
    bool wholeWords = false;
    bool wildcards = false;
    bool regularExpression = false;
    bool wrapAround = true;
    int comparisonOperator = 0;

    // Whole words apply only to plain text, as do the orderings (operators 5 to 8).
    bool wholeWordsEnabled() const { return !wildcards && !regularExpression; }

    // Info on wildcards and expressions; an empty find text or an invalid expression makes
    // the result invalid, each with a message.
    ValidationResult validate() const;

    // The query for the model. `selection` is the table's current selection, `previous` the
    // search handler's current query (its scope is reused for PreviousScope).
    SearchQuery *buildQuery(IAudioFileModel *model, const AudioFileSelection &selection,
                            const SearchQuery *previous, QObject *parent) const;
};
