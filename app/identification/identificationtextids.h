#pragma once

#include <QtGlobal>

// Texts of the identification's log messages; the arguments in brackets.
enum IdentificationTextId : quint32 {
    GroupEntryLengthTextId = 0x2ECA298Cu, // [entry word count, group word count]
    GroupEntryWordTextId = 0xB8A7381Bu, // [entry word, group word]
    GroupEntryStringTextId = 0xCA1E2759u, // [word, first word of the entry]
    FingerprintFailedTextId = 0xFABDF752u, // [path, process error]
    FingerprintStartedTextId = 0x9D582FCDu, // [path]
    FingerprintMissingTextId = 0xB5EB65EAu, // [path, exit code]
    FingerprintMissingMessageTextId = 0x70ADE3A9u, // [path, exit code, message]
    FingerprintTimedOutTextId = 0x16AAF5A9u, // [path, seconds]
    FingerprintOutputTooLongTextId = 0xBDFB134Cu, // [path, bytes]
    FolderLevelTextId = 0x3AA365FDu, // [folder level]
    SegmentGroupsTextId = 0xBEAC2D1Bu,
    SegmentBoundariesTextId = 0xB31925C5u,
    SegmentCategoriesTextId = 0xD180C871u,
    VersionPhrasesUnreadableTextId = 0xCCD45F60u,
    WordListUnreadableTextId = 0xEF5EE2C0u, // [path]
    DataTableMissingTextId = 0x24BA286Fu, // [path]
    ExtendRowsTextId = 0x4149CB99u,
    ExtendEntriesTextId = 0xE77E47F2u, // [entry count, row count]
    SplitRowOwnerTextId = 0x1FEEA873u,
    UnknownInvalidClassTextId = 0xBB2F0171u, // [class]
    NoCountedSectionTextId = 0x769DCD95u,
    FolderLevelMissingTextId = 0x5364D302u, // [folder name]
};
