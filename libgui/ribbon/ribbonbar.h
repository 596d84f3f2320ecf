#pragma once

#include <QWidget>

class QAction;
class QMenu;
class QTabWidget;
class QToolBar;
class QToolButton;
class RibbonPage;

// The ribbon: an application button with its menu at the top left, a small quick-access
// tool bar beside the tabs, and a tab of groups of buttons per command tree.
class RibbonBar : public QWidget
{
    Q_OBJECT
public:
    explicit RibbonBar(QWidget *parent = nullptr);

    int tabBarHeight() const;
    QMenu *applicationMenu() const;
    QString applicationButtonText() const;
    void setApplicationButtonText(const QString &text);

    int quickAccessActionCount() const;
    QAction *quickAccessAction(int index) const;
    void addQuickAccessAction(QAction *action);
    void insertQuickAccessAction(int index, QAction *action);
    void removeQuickAccessAction(int index);

    int pageCount() const;
    RibbonPage *page(int index) const;
    void insertPage(int index, RibbonPage *page);
    // The page is taken out of the tabs, not deleted.
    void removePage(int index);
    // -1: every page's height counts for the ribbon's height; otherwise pages whose height
    // differs from the current page's by more than this are ignored.
    void setPageHeightTolerance(int tolerance);

    QToolButton *applicationButton;
    QToolBar *quickAccessToolBar;
    QTabWidget *tabWidget;

public Q_SLOTS:
    void updateGui();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QString baseColorName() const;

    int pageHeightTolerance = -1;
};
