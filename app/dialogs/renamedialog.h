#pragma once

#include <QHash>
#include <QSet>
#include <QTimer>

#include "libgui/dialogs/commondialog.h"

class AudioFile;
class FilePatternEditorWidget;
class FileSystemPreviewWidget;
class TsExpression;

enum RenameDialogTextId : quint32 {
    RenameTitleTextId = 3900564924u,
    RenamePatternGroupTextId = 240579382u,
    RenameExplanationTextId = 220427745u,
    RenameEmptyPatternTextId = 2591205792u,
    RenameTargetsFailedTextId = 2615107809u,
    RenameSettingsNotSavedTextId = 2233113661u,
    RenameDescriptionTextId = 3595233709u, // [number of files]
    RenameDoneTextId = 927130744u,         // [number of files]
    RenameFailedTextId = 214367429u,
};

// Renames the selected files inside their own folders by a file-name pattern, with a
// preview of the new names; one undoable step that also carries the rows of the file list.
class RenameDialog : public CommonDialog
{
    Q_OBJECT
public:
    explicit RenameDialog(QWidget *parent = nullptr, Qt::WindowFlags flags = {});
    ~RenameDialog() override;

    QSize sizeHint() const override;
    ValidationResult validate() override;

    FilePatternEditorWidget *patternEditor() const { return m_patternEditor; }
    FileSystemPreviewWidget *preview() const { return m_preview; }
    QTimer *previewTimer() { return &m_previewTimer; }
    // The full target path of each selected file and the paths involved in collisions,
    // as the last computation left them.
    const QHash<AudioFile *, QString> &targets() const { return m_targets; }
    const QSet<QString> &highlightedPaths() const { return m_highlightedPaths; }

public Q_SLOTS:
    void accept() override;

private Q_SLOTS:
    void updateGui();
    void updatePreview();

private:
    QString patternText() const;
    QString targetPath(AudioFile *file, TsExpression *expression, bool withFolder) const;
    // Throws when the pattern does not parse; the targets then stay as they were.
    void computeTargets();

    FilePatternEditorWidget *m_patternEditor;
    FileSystemPreviewWidget *m_preview;
    QTimer m_previewTimer;
    QHash<AudioFile *, QString> m_targets;
    // The selected files in the order in which their targets were chosen.
    QList<AudioFile *> m_order;
    QSet<QString> m_highlightedPaths;
};
