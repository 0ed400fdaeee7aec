#include "panel/OptionRules.h"

#include "app/Form1Controls.h"
#include "app/ShapeBox.h"
#include "panel/NumberFieldKeyFilter.h"
#include "panel/OptionComboKeyFilter.h"
#include "run/NumericText.h"
#include "run/OptionLists.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include <initializer_list>

namespace tavorin {

namespace {

void setEnabled(std::initializer_list<QWidget*> widgets, bool enabled)
{
    for (QWidget* widget : widgets)
        widget->setEnabled(enabled);
}

void setVisible(std::initializer_list<QWidget*> widgets, bool visible)
{
    for (QWidget* widget : widgets)
        widget->setVisible(visible);
}

bool isChecked(const QCheckBox* box) { return OptionRules::isOn(box->checkState()); }

void setOn(QCheckBox* box, bool on) { box->setCheckState(on ? Qt::Checked : Qt::Unchecked); }

double valueOf(const QComboBox* combo) { return leadingNumericValue(combo->currentText()); }

// The item a row chooser's text stands for: the item showing that text, else its selection
// (pasted text leaves the selection where it was).
int rowIndexOf(const QComboBox* combo)
{
    const int shown = combo->findText(combo->currentText());
    return shown >= 0 ? shown : combo->currentIndex();
}

// A row text above the highest row becomes that row; the change runs the text rule again.
bool clampRowText(QComboBox* combo)
{
    if (valueOf(combo) <= highestChoosableRow)
        return false;
    combo->setEditText(QString::number(highestChoosableRow));
    return true;
}

} // namespace

OptionRules::OptionRules(Form1Controls& controls, QObject* parent) : QObject(parent), c_(controls)
{
    connectGroupRules();
    connectLayoutPair();
    connectPicturesPerSheet();
    connectColumnPair();
    connectRowPair();
    connectNumberFields();
    installKeyFilters();
}

bool OptionRules::isOn(int checkState) { return checkState == Qt::Checked; }

void OptionRules::connectGroupRules()
{
    connect(c_.Check2, &QCheckBox::stateChanged, this, &OptionRules::dateGroupChanged);
    connect(c_.Check5, &QCheckBox::stateChanged, this, &OptionRules::numberGroupChanged);
    connect(c_.Check6, &QCheckBox::stateChanged, this, &OptionRules::fileNameGroupChanged);
    connect(c_.Check4, &QCheckBox::stateChanged, this, &OptionRules::sheetDateChanged);
}

void OptionRules::dateGroupChanged()
{
    setEnabled({c_.Combo7, c_.Label12, c_.Label18, c_.Combo8, c_.Combo13, c_.Label19}, isChecked(c_.Check2));
}

void OptionRules::numberGroupChanged()
{
    const bool on = isChecked(c_.Check5);
    setEnabled({c_.Combo9, c_.Label23, c_.Combo10, c_.Label24, c_.Option1, c_.Option2, c_.Text3}, on);
    // The field's background tells at a glance whether it is in use.
    QPalette palette = c_.Text3->palette();
    const QPalette system = QApplication::palette(c_.Text3);
    palette.setColor(QPalette::All, QPalette::Base,
                     on ? system.color(QPalette::Base) : system.color(QPalette::Midlight));
    c_.Text3->setPalette(palette);
}

void OptionRules::fileNameGroupChanged()
{
    setEnabled({c_.Combo11, c_.Label25, c_.Combo12, c_.Label26, c_.Check9}, isChecked(c_.Check6));
}

void OptionRules::sheetDateChanged() { c_.Text2->setVisible(!isChecked(c_.Check4)); }

void OptionRules::connectLayoutPair()
{
    connect(c_.Check7, &QCheckBox::stateChanged, this, &OptionRules::check7Changed);
    connect(c_.Check8, &QCheckBox::stateChanged, this, &OptionRules::check8Changed);
}

void OptionRules::check7Changed() { setOn(c_.Check8, !isChecked(c_.Check7)); }

void OptionRules::check8Changed()
{
    const bool pairs = isChecked(c_.Check8);
    setOn(c_.Check7, !pairs);
    setVisible({c_.Combo14, c_.Label33, c_.Label34}, pairs);
}

void OptionRules::connectPicturesPerSheet()
{
    connect(c_.Combo6, &QComboBox::currentIndexChanged, this, &OptionRules::picturesPerSheetChanged);
}

void OptionRules::picturesPerSheetChanged()
{
    const int index = c_.Combo6->currentIndex();
    setVisible({c_.Combo5, c_.Label4, c_.Label21}, index != 1);
    if (index == 0) {
        c_.Label2->setText(QStringLiteral("挿入SHEET選択"));
        setVisible({c_.Label17, c_.Shape4, c_.Check4, c_.Text2, c_.Line11, c_.Line14, c_.Line15}, false);
    } else {
        c_.Label2->setText(QStringLiteral("コピー元SHEET選択"));
        setVisible({c_.Label17, c_.Shape4, c_.Check4}, true);
        c_.Text2->setVisible(!isChecked(c_.Check4));
        setVisible({c_.Line11, c_.Line14, c_.Line15}, true);
    }
}

void OptionRules::connectColumnPair()
{
    connect(c_.Combo1, &QComboBox::currentIndexChanged, this, [this] {
        if (c_.Combo1->currentIndex() > c_.Combo2->currentIndex())
            c_.Combo2->setCurrentIndex(c_.Combo1->currentIndex());
    });
    connect(c_.Combo2, &QComboBox::currentIndexChanged, this, [this] {
        if (c_.Combo1->currentIndex() > c_.Combo2->currentIndex())
            c_.Combo1->setCurrentIndex(c_.Combo2->currentIndex());
    });
}

void OptionRules::connectRowPair()
{
    connect(c_.Combo3, &QComboBox::currentIndexChanged, this, [this] {
        if (valueOf(c_.Combo4) < valueOf(c_.Combo3))
            c_.Combo4->setCurrentIndex(c_.Combo3->currentIndex());
    });
    connect(c_.Combo4, &QComboBox::currentIndexChanged, this, [this] {
        if (valueOf(c_.Combo4) < valueOf(c_.Combo3))
            c_.Combo3->setCurrentIndex(c_.Combo4->currentIndex());
    });
    connect(c_.Combo3, &QComboBox::editTextChanged, this, &OptionRules::startRowTextChanged);
    connect(c_.Combo4, &QComboBox::editTextChanged, this, &OptionRules::endRowTextChanged);
}

void OptionRules::startRowTextChanged()
{
    if (c_.Combo3->currentText().isEmpty() || clampRowText(c_.Combo3))
        return;
    if (valueOf(c_.Combo4) < valueOf(c_.Combo3))
        c_.Combo4->setCurrentIndex(rowIndexOf(c_.Combo3));
}

void OptionRules::endRowTextChanged()
{
    if (c_.Combo4->currentText().isEmpty() || clampRowText(c_.Combo4))
        return;
    if (valueOf(c_.Combo4) < valueOf(c_.Combo3))
        c_.Combo3->setCurrentIndex(rowIndexOf(c_.Combo4));
}

void OptionRules::connectNumberFields()
{
    connect(c_.Text1, &QLineEdit::textChanged, this, &OptionRules::magnificationTextChanged);
}

void OptionRules::magnificationTextChanged()
{
    if (!c_.Text1->text().isEmpty() && leadingNumericValue(c_.Text1->text()) > 100)
        c_.Text1->setText(QStringLiteral("100"));
}

void OptionRules::installKeyFilters()
{
    auto* comboFilter = new OptionComboKeyFilter(this);
    for (QComboBox* combo : {c_.Combo1, c_.Combo2, c_.Combo3, c_.Combo4, c_.Combo5, c_.Combo6, c_.Combo14}) {
        combo->installEventFilter(comboFilter);
        combo->lineEdit()->installEventFilter(comboFilter);
    }
    auto* numberFilter = new NumberFieldKeyFilter(this);
    c_.Text1->installEventFilter(numberFilter);
    c_.Text3->installEventFilter(numberFilter);
}

void OptionRules::applyGroupRules()
{
    dateGroupChanged();
    numberGroupChanged();
    fileNameGroupChanged();
    picturesPerSheetChanged();
    // The layout pair settles through its own handlers; the spacing chooser follows Check8.
    setOn(c_.Check7, !isChecked(c_.Check8));
    setVisible({c_.Combo14, c_.Label33, c_.Label34}, isChecked(c_.Check8));
}

} // namespace tavorin
