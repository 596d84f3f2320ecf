#pragma once

#include <QTreeWidget>

#include "libgui/edits/icontentassistpopup.h"

enum RegExpPopupTextId : quint32 {
    RegExpCharactersTextId = 3732322785u,
    RegExpAnyCharacterTextId = 575736701u,
    RegExpDigitTextId = 3631815796u,
    RegExpNonDigitTextId = 1114796299u,
    RegExpSpaceTextId = 2021325578u,
    RegExpNonSpaceTextId = 2971286712u,
    RegExpWordCharacterTextId = 3204229894u,
    RegExpNonWordCharacterTextId = 3623639563u,
    RegExpSetsTextId = 2592200368u,
    RegExpSetTextId = 1359892141u,
    RegExpNegatedSetTextId = 1947531444u,
    RegExpRangeTextId = 1863037419u,
    RegExpEscapesTextId = 2764104864u,
    RegExpBackslashTextId = 3035737145u,
    RegExpEscapeTextId = 4195827049u,
    RegExpBellTextId = 1501790378u,
    RegExpFormFeedTextId = 950861287u,
    RegExpLineFeedTextId = 3402169976u,
    RegExpCarriageReturnTextId = 2476339540u,
    RegExpTabTextId = 680136578u,
    RegExpVerticalSpaceTextId = 922368977u,
    RegExpAssertionsTextId = 3319279049u,
    RegExpStartTextId = 3195064289u,
    RegExpEndTextId = 2877614067u,
    RegExpAlternativeTextId = 3214931948u,
    RegExpWordBoundaryTextId = 380002760u,
    RegExpNonWordBoundaryTextId = 1034997694u,
    RegExpLookaheadTextId = 4111979191u,
    RegExpNegativeLookaheadTextId = 886098437u,
    RegExpQuantifiersTextId = 1844905298u,
    RegExpOptionalTextId = 296627158u,
    RegExpAnyNumberTextId = 1445517774u,
    RegExpOneOrMoreTextId = 922848297u,
    RegExpExactlyTextId = 3167863172u,
    RegExpAtLeastTextId = 2063620696u,
    RegExpAtMostTextId = 1608270962u,
    RegExpBetweenTextId = 2833799076u,
    RegExpGroupsTextId = 863468987u,
    RegExpGroupTextId = 4235859888u,
    RegExpNonCapturingGroupTextId = 3784809507u,
    RegExpNamedGroupTextId = 2843443972u,
    RegExpBackReferenceTextId = 1148216468u,
    RegExpCodesTextId = 1412586124u,
    RegExpHexCodeTextId = 3992890267u,
    RegExpOctalCodeTextId = 2582489878u,
};

// The regular-expression syntax as a help list: picking an entry inserts its syntax at the
// cursor. The entries are those of the engine behind QRegularExpression (PCRE).
class RegExpPopup : public QTreeWidget, public IContentAssistPopup
{
    Q_OBJECT
public:
    explicit RegExpPopup(QWidget *parent = nullptr);
    ~RegExpPopup() override;

    QAbstractItemView *contentAssistView() override { return this; }
    int completionRole() override { return Qt::UserRole; }
    void updateContentAssist(const QString &text, int cursorPosition) override;
    int replaceStart() override { return m_cursorPosition; }
    int replaceLength() override { return 0; }

private:
    int m_cursorPosition = 0;
};
