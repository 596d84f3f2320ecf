#pragma once

#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QList>
#include <QMap>
#include <QPushButton>
#include <QStackedLayout>
#include <QVBoxLayout>

#include "libgui/dialogs/commondialogpage.h"

enum CommonDialogTextId : quint32 {
    CommonDialogBackTextId = 1261903945u,
    CommonDialogNextTextId = 3591073398u,
    CommonDialogOkTextId = 3298503477u,
    CommonDialogCancelTextId = 769674895u,
    CommonDialogEscapeQuestionTextId = 3712878280u,
};

// The frame of every dialog: an optional side widget, a stack of pages, a label for the
// pages' validation messages and a row of Back, Next, OK and Cancel. OK is enabled only
// while every initialised page is valid.
class CommonDialog : public QDialog
{
    Q_OBJECT
public:
    enum EscapeMode : int {
        EscapeCloses = 0,
        EscapeIgnored = 1,
        EscapeAsks = 2,
    };

    explicit CommonDialog(QWidget *parent = nullptr, Qt::WindowFlags flags = {});

    virtual QWidget *createPageWidget(CommonDialogPage *page);
    virtual void showPage(CommonDialogPage *page, CommonDialogPage::UpdateReason reason);
    virtual ValidationResult validate();
    virtual QList<CommonDialogPage *> pages();
    virtual void setPages(const QList<CommonDialogPage *> &pages);

    CommonDialogPage *currentPage() const;

Q_SIGNALS:
    void currentPageChanged(CommonDialogPage *currentPage);

protected Q_SLOTS:
    virtual void updateDialogButtons();
    void updateDialogGui();

public Q_SLOTS:
    void setVisible(bool visible) override;
    void reject() override;
    void setCurrentPage(CommonDialogPage *page, CommonDialogPage::UpdateReason updateReason);
    void setCurrentPage(CommonDialogPage *page);
    void setCurrentPage(const QString &identifier, CommonDialogPage::UpdateReason updateReason);
    void setCurrentPage(const QString &identifier);

protected:
    void keyPressEvent(QKeyEvent *event) override;

    void setContentLayout(QLayout *layout);
    void setContentWidget(QWidget *widget);
    void showMessages(const QList<ValidationMessage> &messages);
    void setAcceptEnabled(bool enabled);
    void setRejectEnabled(bool enabled);
    void insertButton(QWidget *button);
    void insertButtonLayout(QLayout *layout);
    void addButton(QWidget *button);
    void setOuterMargins(bool outer);
    void setSizeFixed(bool fixed);
    QWidget *sideWidget() const;
    void setSideWidget(QWidget *widget);
    void registerPage(CommonDialogPage *page);

    QGridLayout *mainLayout;
    QVBoxLayout *bottomLayout;
    QStackedLayout *pageStack;
    QMap<CommonDialogPage *, int> pageIndexes;
    QList<CommonDialogPage *> topLevelPages;
    QLabel *messageLabel;
    QHBoxLayout *buttonLayout;
    QPushButton *backButton;
    QPushButton *nextButton;
    QPushButton *okButton;
    QPushButton *cancelButton;
    QList<ValidationMessage> validationMessages;
    bool acceptEnabled = true;
    bool rejectEnabled = true;
    int escapeMode = EscapeCloses;

private:
    // Registration order, so that messages and identifier lookups do not depend on where
    // the pages happen to lie in memory.
    QList<CommonDialogPage *> m_registered;
};
