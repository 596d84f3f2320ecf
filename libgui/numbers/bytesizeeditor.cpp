#include "libgui/numbers/bytesizeeditor.h"

#include <QHBoxLayout>

#include "libcore/text/formatting.h"
#include "libcore/text/texttable.h"

namespace {

struct ByteUnit {
    const char *name; // null: the catalogue's word for bytes
    int factor;
};

// Each unit is offered once the maximum reaches one of it.
constexpr ByteUnit byteUnits[] = {
    {nullptr, 1},
    {"KiB", 1024},
    {"MiB", 1048576},
    {"GiB", 1073741824},
};

} // namespace

ByteSizeEditor::ByteSizeEditor(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setAlignment(Qt::AlignLeft);
    spinBox = new ExtSpinBox(this);
    layout->addWidget(spinBox);
    spinBox->setRange(minimumBytes, maximumBytes);
    spinBox->setFixedSize(spinBox->sizeHint());
    connect(spinBox, &QSpinBox::valueChanged, this, &ByteSizeEditor::valueChanged);
    unitCombo = new ExtComboBox(this);
    layout->addWidget(unitCombo);
    setRange(0, 2147483647);
    connect(unitCombo, &QComboBox::currentIndexChanged, this, &ByteSizeEditor::onPrefixChanged);
    unitCombo->setFixedSize(unitCombo->sizeHint());
}

void ByteSizeEditor::setRange(int minimum, int maximum)
{
    minimumBytes = minimum;
    maximumBytes = maximum;
    {
        const QSignalBlocker blocker(unitCombo);
        unitCombo->clear();
        for (const ByteUnit &unit : byteUnits) {
            if (unit.factor > 1 && maximum <= unit.factor - 1)
                break;
            const QString name = unit.name ? QString::fromLatin1(unit.name)
                                           : upperCaseFirst(textForId(ByteSizeBytesTextId));
            unitCombo->addItem(name, unit.factor);
        }
        unitCombo->setCurrentIndex(0);
    }
    unitFactor = 1;
    // Bytes again, so the spin box takes bytes: a range left from a larger unit would hold
    // the field to a few values whatever the new range allows.
    spinBox->setRange(minimum, maximum);
    spinBox->setValue(minimum);
}

int ByteSizeEditor::value() const
{
    // 64 bits: a spin box range left from another unit must not overflow the product.
    const qint64 bytes = qint64(spinBox->value()) * unitFactor;
    return int(qMax(qint64(minimumBytes), qMin(bytes, qint64(maximumBytes))));
}

void ByteSizeEditor::setValue(int bytes)
{
    const int v = qMax(minimumBytes, qMin(bytes, maximumBytes));
    int chosen = 0;
    if (v > 0) {
        for (int i = unitCombo->count() - 1; i >= 1; --i) {
            const int factor = unitCombo->itemData(i).toInt();
            if (factor > 0 && v % factor == 0) {
                chosen = i;
                break;
            }
        }
    }
    unitCombo->setCurrentIndex(chosen);
    const int factor = unitCombo->itemData(chosen).toInt();
    spinBox->setValue(v / (factor > 0 ? factor : 1));
}

void ByteSizeEditor::onPrefixChanged(int prefixIndex)
{
    if (prefixIndex < 0)
        return;
    const int factor = unitCombo->itemData(prefixIndex).toInt();
    if (factor <= 0)
        return;
    qint64 n = spinBox->value();
    if (unitFactor < factor)
        n /= factor / unitFactor;
    else if (factor < unitFactor)
        n *= unitFactor / factor;
    spinBox->setRange(minimumBytes / factor, maximumBytes / factor);
    spinBox->setValue(int(qBound(qint64(INT_MIN), n, qint64(INT_MAX))));
    unitFactor = factor;
    Q_EMIT valueChanged();
}
