#include "app/dialogs/findreplacequery.h"

#include <QRegularExpression>

#include "app/operations/audiofileselection.h"
#include "app/search/searchquery.h"
#include "libcore/text/formatting.h"
#include "libcore/text/textmatching.h"
#include "libcore/text/texttable.h"

ValidationResult FindReplaceOptions::validate() const
{
    ValidationResult result;
    if (wildcards)
        result.messages.append(ValidationMessage(LogLevel::Info, upperCaseFirst(textForId(WildcardsInfoTextId))));
    if (regularExpression) {
        result.messages.append(
            ValidationMessage(LogLevel::Info, upperCaseFirst(textForId(RegularExpressionInfoTextId))));
        const QRegularExpression expression(findText, QRegularExpression::UseUnicodePropertiesOption);
        if (!expression.isValid()) {
            result.messages.append(ValidationMessage(
                LogLevel::Error, upperCaseFirst(textForId(InvalidRegularExpressionTextId)).arg(expression.errorString())));
            result.valid = false;
        }
    }
    if (findText.isEmpty()) {
        // Not an error: the dialog opens empty and waits for the text.
        result.messages.append(ValidationMessage(LogLevel::Info, upperCaseFirst(textForId(EmptyFindTextTextId))));
        result.valid = false;
    }
    return result;
}

SearchQuery *FindReplaceOptions::buildQuery(IAudioFileModel *model, const AudioFileSelection &selection,
                                            const SearchQuery *previous, QObject *parent) const
{
    SearchScope searchScope(model);
    switch (scope) {
    case DisplayedFiles:
        searchScope.setDisplayedFiles(dataTypes);
        break;
    case SelectedFiles:
        searchScope.setSelectionColumns(selection, dataTypes);
        break;
    case SelectedCells:
        searchScope.setSelection(selection);
        break;
    case PreviousScope:
        if (previous)
            searchScope = previous->scope();
        break;
    default:
        searchScope.setAllFiles(dataTypes);
        break;
    }

    SearchQuery *query = nullptr;
    if (comparisonOperator >= ComparisonOperator::LessThan && comparisonOperator <= ComparisonOperator::GreaterThanOrEqual
        && isDecimalNumber(findText)) {
        bool ok = false;
        const qint64 number = findText.trimmed().toLongLong(&ok, 10);
        if (ok)
            query = new SearchQuery(number, searchScope, comparisonOperator, parent);
    }
    if (!query) {
        const Qt::CaseSensitivity cs = matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
        SearchPattern pattern;
        if (wildcards)
            pattern = SearchPattern(findText, SearchPattern::Wildcard, cs);
        else if (regularExpression)
            pattern = SearchPattern(findText, SearchPattern::RegularExpression, cs);
        else if (wholeWords)
            pattern = SearchPattern::wholeWord(findText, cs);
        else
            pattern = SearchPattern(findText, SearchPattern::FixedString, cs);
        query = new SearchQuery(pattern, searchScope, comparisonOperator, parent);
    }
    query->setWrapAround(wrapAround);
    if (replaces)
        query->setReplacementText(replacementText);
    return query;
}
