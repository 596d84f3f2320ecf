#pragma once

#include <QtGlobal>

// The texts of the program's start, its main window, the file table and the docks.
enum ShellTextId : quint32 {
    // Start and exit.
    ExitFailedTextId = 2146784109u,             // [application, version, exit code]
    ExitedTextId = 803546728u,                  // [application, version]
    SettingsUnreadableTextId = 552866103u,      // [native settings path]
    SettingsUnreadableKeptTextId = 552322445u,  // [native settings path, native path of the copy]
    QtTranslationMissingTextId = 3393130625u,   // [locale name]
    MainWindowShownTextId = 2733124900u,        // [application, version]
    VersionCheckSaveFailedTextId = 4070931112u,
    VersionCheckStartedTextId = 3111965544u,
    VersionUpToDateTextId = 779133706u,         // [running version]
    NewerVersionLoggedTextId = 1940062342u,     // [version, release date]
    NewerVersionMessageTextId = 3273449764u,    // [application, version, release date, domain]
    VersionCheckFailedTextId = 782352274u,      // [organisation domain]
    NoDisplayTextId = 1699492830u,              // [application]
    EventHandlerExceptionTextId = 2986025453u,  // [what the exception said]
    // Main window.
    StatusBarTextId = 139764926u,               // [selected files, files in the table]
    CloseQuestionTextId = 1414574700u,          // [unsaved files]
    CloseSaveSettingsFailedTextId = 281199878u,
    // File table.
    SelectColumnTextId = 2958506151u,
    SortAscendingTextId = 3626750605u,
    SortDescendingTextId = 2552380182u,
    // Find-and-replace dock.
    FindAllTextId = 3820931570u,
    SelectAllResultsTextId = 3878705940u,
    ReplaceAllTextId = 4221599464u,
    RemoveMatchesTextId = 1753146713u,
    StopFindReplaceTextId = 315692087u,
    RefreshResultTextId = 3489692440u,
    ResultDataTypeColumnTextId = 3965894304u,
    ResultTextColumnTextId = 1241876381u,
    ResultReplacementColumnTextId = 2635699439u,
    NotReplaceableTextId = 2796580549u,         // [data type]
    FindReplaceIdleTitleTextId = 3996607110u,
    FindReplaceDockTitleTextId = 3320825979u,
    FindQueryTitleTextId = 3756889367u,         // [find text]
    ReplaceQueryTitleTextId = 2632826825u,      // [find text, replacement]
    FindResultTitleTextId = 4181101717u,        // [find text, matches]
    ReplaceResultTitleTextId = 2860215578u,     // [find text, replacement, matches]
    // The find-and-replace dialog's text (app/resources/text/textdialogs.xml).
    CellsReplacedTextId = 1807943050u,          // [cells, find text, replacement]
    // Log dock.
    LogErrorsTextId = 153254790u,
    LogWarningsTextId = 2257973100u,
    LogInfosTextId = 817954745u,
    LogSaveTextId = 4098964218u,
    LogCopyTextId = 130055219u,
    LogClearTextId = 199945841u,
    LogRowLimitTextId = 3497378758u,
    LogDockTitleTextId = 2357782741u,
    LogSaveCaptionTextId = 2291616253u,
    LogTextFilesTextId = 1760542118u,
    LogClearQuestionTextId = 1116348698u,
    LogRowLimitLabelTextId = 1005279984u,
    // Display-filter and tag editor docks.
    DisplayFilterDockTitleTextId = 465354227u,
    MultiTagEditorDockTitleTextId = 3946854553u,
};
