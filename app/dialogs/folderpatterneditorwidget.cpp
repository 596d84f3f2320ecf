#include "app/dialogs/folderpatterneditorwidget.h"

#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QToolButton>

#include "app/dialogs/advancedpatterneditorwidget.h"
#include "app/dialogs/simplepatterneditorwidget.h"
#include "libgui/icons/icons.h"
#include "libcore/io/paths.h"
#include "libcore/text/formatting.h"
#include "libcore/text/texttable.h"
#include "libgui/edits/extlineedit.h"

namespace {

QString cleanRoot(QString path)
{
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return withoutTrailingSlash(path);
}

} // namespace

FolderPatternEditorWidget::FolderPatternEditorWidget(bool editableRoot, QWidget *parent)
    : CombinedPatternEditorWidget(true, parent), m_editableRoot(editableRoot)
{
    setIndent(14);
    setIcon(loadIcon(QStringLiteral("folder")));
    addRootRow(simpleEditor());
    addRootRow(advancedEditor());
    addRow();
}

FolderPatternEditorWidget::~FolderPatternEditorWidget() = default;

void FolderPatternEditorWidget::addRootRow(PatternEditorWidget *editor)
{
    if (m_editableRoot) {
        auto *edit = new ExtLineEdit(m_rootPath);
        edit->setInactiveText(upperCaseFirst(textForId(PatternRootFolderTextId)));
        connect(edit, &QLineEdit::textEdited, this, &FolderPatternEditorWidget::onLineEditTextEdited);
        m_rootLineEdits.append(edit);
        auto *button = new QToolButton;
        button->setIcon(loadIcon(QStringLiteral("open")));
        button->setToolTip(upperCaseFirst(textForId(PatternBrowseRootTextId)));
        connect(button, &QToolButton::clicked, this, &FolderPatternEditorWidget::onBrowseButtonClicked);
        editor->addFixedRow(edit, {button});
    } else {
        auto *label = new QLabel(m_rootPath);
        m_rootLabels.append(label);
        editor->addFixedRow(label, {});
    }
}

void FolderPatternEditorWidget::setRootPath(const QString &path)
{
    m_rootPath = path;
    const QString shown = QDir::toNativeSeparators(path);
    for (QLabel *label : std::as_const(m_rootLabels))
        label->setText(shown);
    for (ExtLineEdit *edit : std::as_const(m_rootLineEdits))
        edit->setText(shown);
}

void FolderPatternEditorWidget::onLineEditTextEdited(const QString &text)
{
    m_rootPath = cleanRoot(text);
    for (ExtLineEdit *edit : std::as_const(m_rootLineEdits)) {
        if (edit->text() != text)
            edit->setText(text);
    }
    Q_EMIT patternChanged();
}

void FolderPatternEditorWidget::onBrowseButtonClicked()
{
    const QString chosen = QFileDialog::getExistingDirectory(this, QString(), m_rootPath, QFileDialog::ShowDirsOnly);
    if (chosen.isEmpty())
        return;
    m_rootPath = cleanRoot(chosen);
    for (ExtLineEdit *edit : std::as_const(m_rootLineEdits))
        edit->setText(QDir::toNativeSeparators(m_rootPath));
    Q_EMIT patternChanged();
}
