#pragma once

#include <QHash>
#include <QSet>
#include <QStringList>
#include <QTimer>

#include "libgui/dialogs/commondialog.h"

class AudioFile;
class FileSystemPreviewWidget;
class FolderPatternEditorWidget;
class TsExpression;

enum CopyMoveDialogTextId : quint32 {
    CopyTitleTextId = 3007092600u,
    MoveTitleTextId = 2750810058u,
    CopyMovePatternGroupTextId = 1370950716u,
    CopyMoveExplanationTextId = 3166108915u,
    CopyMoveNoRootTextId = 3888947950u,
    CopyMoveRelativeRootTextId = 2803233407u,
    CopyMoveMissingRootTextId = 683688113u,
    CopyingTextId = 781022047u,
    CopiesNotListedTextId = 2267769213u,
    CopyMoveTargetsFailedTextId = 2630775631u,
    CopyMoveSettingsNotSavedTextId = 3284173464u,
    CopyDescriptionTextId = 271144011u,  // [number of files]
    MoveDescriptionTextId = 2273706524u, // [number of files]
    CopyDoneTextId = 2326139884u,        // [number of files]
    MoveDoneTextId = 3331423784u,        // [number of files]
    CopyFailedTextId = 3052735486u,
    MoveFailedTextId = 511612662u,
};

// Copies or moves the selected files into folders below a root folder, by a folder
// pattern, with a preview; one undoable step. Moved files keep their rows under their new
// paths; copies are not loaded.
class CopyMoveDialog : public CommonDialog
{
    Q_OBJECT
public:
    CopyMoveDialog(bool copy, QWidget *parent = nullptr, Qt::WindowFlags flags = {});
    ~CopyMoveDialog() override;

    QSize sizeHint() const override;
    ValidationResult validate() override;

    FolderPatternEditorWidget *patternEditor() const { return m_patternEditor; }
    FileSystemPreviewWidget *preview() const { return m_preview; }
    QTimer *previewTimer() { return &m_previewTimer; }
    QStringList previewPaths() const { return m_previewPaths; }
    const QSet<QString> &highlightedPaths() const { return m_highlightedPaths; }
    // Target of each selected file: full paths with withRoot, else relative to the root.
    // Throws when the pattern does not parse.
    QHash<AudioFile *, QString> computeTargets(bool withRoot);

public Q_SLOTS:
    void accept() override;

private Q_SLOTS:
    void updateGui();
    void updatePreview();

private:
    QString patternText() const;
    QString targetFolder(AudioFile *file, TsExpression *expression, bool withRoot) const;

    bool m_copy;
    FolderPatternEditorWidget *m_patternEditor;
    FileSystemPreviewWidget *m_preview;
    QTimer m_previewTimer;
    QStringList m_previewPaths;
    QSet<QString> m_highlightedPaths;
    QList<AudioFile *> m_order;
};
