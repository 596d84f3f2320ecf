#include "libtagging/model/artworktagitem.h"
#include "libtagging/model/commenttagitem.h"
#include "libtagging/model/disctoctagitem.h"
#include "libtagging/model/encapsulatedobjecttagitem.h"
#include "libtagging/model/eventtimingtagitem.h"
#include "libtagging/model/fileidentifiertagitem.h"
#include "libtagging/model/involvedpeoplelisttagitem.h"
#include "libtagging/model/languagetagitem.h"
#include "libtagging/model/lyricstagitem.h"
#include "libtagging/model/plaintagitems.h"
#include "libtagging/model/privatetagitem.h"
#include "libtagging/model/releasecountrytagitem.h"
#include "libtagging/model/scripttagitem.h"
#include "libtagging/model/synchronizedlyricstagitem.h"
#include "libtagging/model/unknownasfdatatagitem.h"
#include "libtagging/model/unknownasfstringtagitem.h"
#include "libtagging/model/unknownid3v2datatagitem.h"
#include "libtagging/model/unknownmp4stringtagitem.h"
#include "libtagging/model/userdefinedlinktagitem.h"
#include "libtagging/model/userdefinedtexttagitem.h"
#include "libtagging/model/volumeadjustmenttagitem.h"

void registerTagItemTypes()
{
#define MELO_REGISTER_CATALOGUE_ITEM(kind, id, Name, Base, nameTextId)                                  \
    static_assert(Name##TagItem::Type == id, "the class's id differs from its catalogue row");          \
    TagItem::registerType<Name##TagItem>();
    MELO_TAG_ITEM_CATALOGUE(MELO_REGISTER_CATALOGUE_ITEM)
#undef MELO_REGISTER_CATALOGUE_ITEM
}
