#include "app/dialogs/regexppopup.h"

#include <QHeaderView>

#include "libcore/text/formatting.h"
#include "libcore/text/texttable.h"

namespace {

struct Entry {
    const char *shown;
    const char *inserted;
    quint32 description;
};

struct Category {
    quint32 title;
    QList<Entry> entries;
};

// PCRE forms where the old engine's differed: "\x{hhhh}" for a code point, "{0,n}" as the
// upper bound alone, a named group where the old engine offered "\0".
const QList<Category> &categories()
{
    static const QList<Category> list = {
        {RegExpCharactersTextId,
         {{".", ".", RegExpAnyCharacterTextId},
          {"\\d", "\\d", RegExpDigitTextId},
          {"\\D", "\\D", RegExpNonDigitTextId},
          {"\\s", "\\s", RegExpSpaceTextId},
          {"\\S", "\\S", RegExpNonSpaceTextId},
          {"\\w", "\\w", RegExpWordCharacterTextId},
          {"\\W", "\\W", RegExpNonWordCharacterTextId}}},
        {RegExpSetsTextId,
         {{"[abc]", "[]", RegExpSetTextId},
          {"[^abc]", "[^]", RegExpNegatedSetTextId},
          {"[a-z]", "[-]", RegExpRangeTextId}}},
        {RegExpEscapesTextId,
         {{"\\\\", "\\\\", RegExpBackslashTextId},
          {"\\", "\\", RegExpEscapeTextId},
          {"\\a", "\\a", RegExpBellTextId},
          {"\\f", "\\f", RegExpFormFeedTextId},
          {"\\n", "\\n", RegExpLineFeedTextId},
          {"\\r", "\\r", RegExpCarriageReturnTextId},
          {"\\t", "\\t", RegExpTabTextId},
          {"\\v", "\\v", RegExpVerticalSpaceTextId}}},
        {RegExpAssertionsTextId,
         {{"^", "^", RegExpStartTextId},
          {"$", "$", RegExpEndTextId},
          {"Expr1|Expr2", "|", RegExpAlternativeTextId},
          {"\\b", "\\b", RegExpWordBoundaryTextId},
          {"\\B", "\\B", RegExpNonWordBoundaryTextId},
          {"(?=Expr)", "(?=)", RegExpLookaheadTextId},
          {"(?!Expr)", "(?!)", RegExpNegativeLookaheadTextId}}},
        {RegExpQuantifiersTextId,
         {{"?", "?", RegExpOptionalTextId},
          {"*", "*", RegExpAnyNumberTextId},
          {"+", "+", RegExpOneOrMoreTextId},
          {"{n}", "{}", RegExpExactlyTextId},
          {"{n,}", "{,}", RegExpAtLeastTextId},
          {"{0,n}", "{0,}", RegExpAtMostTextId},
          {"{n,m}", "{,}", RegExpBetweenTextId}}},
        {RegExpGroupsTextId,
         {{"(Expr)", "()", RegExpGroupTextId},
          {"(?:Expr)", "(?:)", RegExpNonCapturingGroupTextId},
          {"(?<name>Expr)", "(?<>)", RegExpNamedGroupTextId},
          {"\\i", "\\", RegExpBackReferenceTextId}}},
        {RegExpCodesTextId,
         {{"\\x{hhhh}", "\\x{}", RegExpHexCodeTextId},
          {"\\0nn", "\\0", RegExpOctalCodeTextId}}},
    };
    return list;
}

int depthOf(const QTreeWidgetItem *item)
{
    int depth = 0;
    for (const QTreeWidgetItem *p = item->parent(); p; p = p->parent())
        ++depth;
    return depth;
}

} // namespace

RegExpPopup::RegExpPopup(QWidget *parent) : QTreeWidget(parent)
{
    setColumnCount(1);
    setHeaderHidden(true);
    for (const Category &category : categories()) {
        auto *top = new QTreeWidgetItem(this, {upperCaseFirst(textForId(category.title))});
        top->setFlags(Qt::ItemIsEnabled);
        for (const Entry &entry : category.entries) {
            const QString shown = QString::fromLatin1(entry.shown);
            auto *item = new QTreeWidgetItem(top, {upperCaseFirst(shown + QStringLiteral(" - ")
                                                                  + textForId(entry.description))});
            item->setData(0, Qt::UserRole, QString::fromLatin1(entry.inserted));
        }
    }

    // Wide enough for the widest row at its depth; the popup never filters.
    expandAll();
    int width = 0;
    QTreeWidgetItemIterator it(this);
    for (; *it; ++it) {
        const QModelIndex index = indexFromItem(*it);
        const int levels = depthOf(*it) + (rootIsDecorated() ? 1 : 0);
        width = qMax(width, sizeHintForIndex(index).width() + levels * indentation());
    }
    setMinimumWidth(width + 25);
}

RegExpPopup::~RegExpPopup() = default;

void RegExpPopup::updateContentAssist(const QString &text, int cursorPosition)
{
    Q_UNUSED(text)
    m_cursorPosition = cursorPosition;
}
