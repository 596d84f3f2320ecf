#include "app/dialogs/optionrow.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMap>
#include <QRadioButton>
#include <QVBoxLayout>

#include "libcore/text/textmatching.h"
#include "libcore/text/wordsplitting.h"
#include "libgui/numbers/extspinbox.h"

QRadioButton *createOptionRow(QVBoxLayout *layout, const QString &text, QList<ExtSpinBox *> &spinBoxes)
{
    QWidget *box = layout->parentWidget();
    auto *row = new QHBoxLayout;
    layout->addLayout(row);
    row->setAlignment(Qt::AlignLeft);
    auto *radioButton = new QRadioButton(box);
    row->addWidget(radioButton);
    if (box && box->metaObject()->indexOfSlot("updateGui()") >= 0)
        QObject::connect(radioButton, SIGNAL(clicked(bool)), box, SLOT(updateGui()));

    QMap<int, ExtSpinBox *> byNumber;
    const QStringList elements = splitAtPlaceholders(text);
    for (int i = 0; i < elements.size(); ++i) {
        const QString &element = elements.at(i);
        if (element.startsWith(u'%') && element.size() < 4 && isDecimalNumber(element.mid(1))) {
            auto *spinBox = new ExtSpinBox(box);
            spinBox->setRange(1, std::numeric_limits<int>::max());
            row->addWidget(spinBox);
            byNumber.insert(element.mid(1).toInt(), spinBox);
        } else if (i == 0) {
            radioButton->setText(element);
        } else {
            row->addWidget(new QLabel(element, box));
        }
    }
    spinBoxes = byNumber.values();
    return radioButton;
}
