#pragma once

#include <QAction>
#include <QIcon>
#include <QKeySequence>
#include <QList>
#include <QObject>

class QMenuBar;
class QToolBar;
class QWidget;
class RibbonBar;

// The program's commands, independent of how they are shown: the root's children are
// command trees (menus, tool bars, ribbon pages, or the application menu), their children
// groups of actions. The builders read exactly these two levels below the root.
class ActionTree : public QObject
{
    Q_OBJECT
public:
    explicit ActionTree(const QString &title, QObject *parent = nullptr);

    void init();
    // Appends the action and connects its triggered() to the slot (a SLOT() signature) of
    // the receiver, when one is given.
    void addAction(QAction *action, QObject *receiver = nullptr, const char *slot = nullptr);
    // Refreshes the state of the commands; the base passes the call to every child tree.
    virtual void updateActions();

    static QAction *createAction(const QIcon &icon, const QString &text, const QString &whatsThis,
                                 const QKeySequence &shortcut = QKeySequence(), QObject *parent = nullptr);
    static QAction *createCheckableAction(const QIcon &icon, const QString &text,
                                          const QString &whatsThis,
                                          const QKeySequence &shortcut = QKeySequence(),
                                          QObject *parent = nullptr);
    static QAction *createRoleAction(QAction::MenuRole role, const QIcon &icon, const QString &text,
                                     const QString &whatsThis,
                                     const QKeySequence &shortcut = QKeySequence(),
                                     QObject *parent = nullptr);

    // The caller owns every bar; the trees keep no reference to them.
    QMenuBar *createMenuBar(QWidget *parent);
    QList<QToolBar *> createToolBars(int iconSize, QWidget *parent);
    QToolBar *createToolBar(int iconSize, QWidget *parent);
    RibbonBar *createRibbonBar(QWidget *parent);

    QString title;
    QList<ActionTree *> childTrees; // not owned
    QList<QAction *> actions;       // not owned
    bool inToolBar = false;
    bool applicationMenu = false;
};
