#pragma once

#include <QSize>

// Size hints that most large dialogs return, fixed once per process from the primary
// screen's size (W x H): compact W/2 x H/2 at most 1920 x 1080 (the about box); wide the
// same bounded to 1200..1920 x 800..1080 (wizards, rename and multi-file editors); large
// 3W/4 x 3H/4 bounded to 1200..1920 x 800..1350 (tree-view dialogs, taggers). The lower
// bounds may exceed a small screen; a dialog's first show still fits it to the screen.
QSize compactDialogSizeHint();
QSize wideDialogSizeHint();
QSize largeDialogSizeHint();

// The same for a given screen size.
QSize compactDialogSizeHintFor(const QSize &screen);
QSize wideDialogSizeHintFor(const QSize &screen);
QSize largeDialogSizeHintFor(const QSize &screen);

// The progress dialog's status label: half the screen width bounded to 500..1000.
int progressStatusLabelWidth(int screenWidth);
