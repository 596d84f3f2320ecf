#include "app/tageditors/tageditorregistration.h"

#include "app/tageditors/booleantageditorwidget.h"
#include "app/tageditors/datetimetageditorwidget.h"
#include "app/tageditors/integertageditorwidget.h"
#include "app/tageditors/stringtageditorwidget.h"
#include "app/tageditors/tageditorwidget.h"
#include "libtagging/model/tagitem.h"

void registerTagEditors()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;

    static TagEditorWidget::DataTypeTagEditorFactory<BooleanTagEditorWidget> booleanFactory;
    static TagEditorWidget::DataTypeTagEditorFactory<DateTimeTagEditorWidget> dateTimeFactory;
    static TagEditorWidget::DataTypeTagEditorFactory<IntegerTagEditorWidget> integerFactory;
    static TagEditorWidget::DataTypeTagEditorFactory<StringTagEditorWidget> stringFactory;
    TagEditorWidget::registerTagEditorFactory(false, TagItemDataType::Boolean, &booleanFactory, true, false);
    TagEditorWidget::registerTagEditorFactory(false, TagItemDataType::DateTime, &dateTimeFactory, true, false);
    TagEditorWidget::registerTagEditorFactory(false, TagItemDataType::Integer, &integerFactory, true, false);
    TagEditorWidget::registerTagEditorFactory(false, TagItemDataType::String, &stringFactory, true, false);
}
