#pragma once

#include <QIcon>
#include <QList>
#include <QString>
#include <QVBoxLayout>
#include <QWidget>

#include "libgui/dialogs/validation.h"

// One page of a CommonDialog. Pages validate their own input, may build their content
// lazily in initialize() and are told why they become current.
class CommonDialogPage : public QWidget
{
    Q_OBJECT
public:
    enum UpdateReason : int {
        Direct = 0,   // a link, a tree item or code
        Forward = 1,  // Next
        Backward = 2, // Back
    };
    Q_ENUM(UpdateReason)

    explicit CommonDialogPage(QWidget *parent = nullptr);

    virtual ValidationResult validate();
    virtual bool isInitialized();
    virtual void initialize();
    virtual void updatePage(CommonDialogPage::UpdateReason reason);
    virtual bool usesOwnFrame();

    void setTitle(const QString &title);

    QString title;
    QIcon icon;
    QString identifier;
    QList<CommonDialogPage *> childPages; // registered with the page; not owned through this list

Q_SIGNALS:
    void updateDialogButtons();
    void updateDialogGui();
    void pageLinkActivated(const QString &identifier);
    void pageLinkActivated(CommonDialogPage *page);
    void pageTitleChanged(const QString &title);
};

// A page of titled sections stacked from the top, as settings pages have.
class CommonDialogLayoutPage : public CommonDialogPage
{
    Q_OBJECT
public:
    explicit CommonDialogLayoutPage(QWidget *parent = nullptr);

    // 20 pixels of space, then a bold title, an italic description and the widget, each only
    // when given; description and widget are indented like the text of a radio button.
    void addSection(QWidget *widget, const QString &title, const QString &description);

    QVBoxLayout *pageLayout;
};
