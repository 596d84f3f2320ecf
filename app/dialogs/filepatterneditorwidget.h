#pragma once

#include "app/dialogs/combinedpatterneditorwidget.h"

// One level: a file name.
class FilePatternEditorWidget : public CombinedPatternEditorWidget
{
    Q_OBJECT
public:
    explicit FilePatternEditorWidget(QWidget *parent = nullptr);
    ~FilePatternEditorWidget() override;
};
