#pragma once

#include <QVector>
#include <QWidget>

class QHBoxLayout;
class RibbonGroup;

// One tab of the ribbon: groups from left to right. When the page gets narrower than it
// wants, the narrowest groups collapse one after the other; when room returns they expand
// again, last collapsed first, each only when its whole extra width fits.
class RibbonPage : public QWidget
{
    Q_OBJECT
public:
    explicit RibbonPage(const QString &title, QWidget *parent = nullptr);

    QString title() const { return m_title; }
    int groupCount() const;
    RibbonGroup *group(int index) const;
    void addGroup(RibbonGroup *group);
    void insertGroup(int index, RibbonGroup *group);
    // Takes the group out of the row; it is neither hidden nor deleted.
    void removeGroup(int index);
    void updateMinimumWidth();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QHBoxLayout *rowLayout;
    QString m_title;
    QVector<RibbonGroup *> collapsedGroups;
};
