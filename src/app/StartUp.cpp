#include "app/StartUp.h"

#include "app/Form1Controls.h"
#include "panel/OptionRules.h"
#include "platform/SettingsFile.h"
#include "run/NumericText.h"
#include "run/OptionLists.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QSignalBlocker>

#include <algorithm>
#include <array>

namespace tavorin {

namespace {

std::array<QCheckBox*, SettingsRecord::checkCount> checkBoxes(const Form1Controls& c)
{
    return {c.Check1, c.Check2, c.Check3, c.Check4, c.Check5, c.Check6, c.Check7, c.Check8, c.Check9};
}

std::array<QComboBox*, SettingsRecord::comboCount> comboBoxes(const Form1Controls& c)
{
    return {c.Combo1, c.Combo2, c.Combo3,  c.Combo4,  c.Combo5,  c.Combo6,  c.Combo7,
            c.Combo8, c.Combo9, c.Combo10, c.Combo11, c.Combo12, c.Combo13, c.Combo14};
}

// Fills a combo box without selecting anything: the first stored selection is then a change
// like any other and sets off its rules.
void fill(QComboBox* combo, const QStringList& items)
{
    const QSignalBlocker quiet(combo);
    combo->addItems(items);
    combo->setCurrentIndex(-1);
}

// Every control's first-start value is its first item; a stored index outside the list gives
// that value too.
constexpr int firstStartIndex = 0;

} // namespace

void fillOptionLists(Form1Controls& c)
{
    const QStringList longForm = longFormColumnNames();
    const QStringList shortForm = shortFormColumnNames();
    for (QComboBox* combo : {c.Combo1, c.Combo2})
        fill(combo, longForm);
    for (QComboBox* combo : {c.Combo8, c.Combo10, c.Combo11})
        fill(combo, shortForm);
    const QStringList rows = rowNumberItems();
    for (QComboBox* combo : {c.Combo3, c.Combo4, c.Combo7, c.Combo9, c.Combo12})
        fill(combo, rows);
    const QStringList spacings = spacingItems();
    for (QComboBox* combo : {c.Combo5, c.Combo14})
        fill(combo, spacings);
    fill(c.Combo6, picturesPerSheetItems());
    fill(c.Combo13, dateFormatSamples());
    c.Combo15->addItems({QStringLiteral("Excel"), QStringLiteral("LibreOffice")});
    c.Combo16->addItems({QStringLiteral("作成日時"), QStringLiteral("撮影日時")});
    c.Combo17->addItems({QStringLiteral("96"), QStringLiteral("150"), QStringLiteral("220"), QStringLiteral("330")});
}

void applyExtraOptions(Form1Controls& c, const ExtraOptions& options)
{
    c.Combo15->setCurrentIndex(options.fitFor == FitFor::LibreOffice ? 1 : 0);
    c.Check10->setChecked(options.photoOrientation);
    c.Combo16->setCurrentIndex(options.dateSource == DateSource::PhotoTaken ? 1 : 0);
    c.Check11->setChecked(options.reducePictures);
    // A resolution the chooser does not offer (written by hand) reads as the first-start one.
    const int offered = c.Combo17->findText(QString::number(options.pictureResolution));
    c.Combo17->setCurrentIndex(offered >= 0 ? offered : c.Combo17->findText(QString::number(ExtraOptions{}.pictureResolution)));
}

int pictureDpiChosen(const Form1Controls& c) { return c.Check11->isChecked() ? c.Combo17->currentText().toInt() : 0; }

ExtraOptions storedExtraOptions(const Form1Controls& c)
{
    ExtraOptions options;
    options.fitFor = c.Combo15->currentIndex() == 1 ? FitFor::LibreOffice : FitFor::Excel;
    options.photoOrientation = c.Check10->isChecked();
    options.dateSource = c.Combo16->currentIndex() == 1 ? DateSource::PhotoTaken : DateSource::FileCreated;
    options.reducePictures = c.Check11->isChecked();
    options.pictureResolution = c.Combo17->currentText().toInt();
    return options;
}

void applyStoredOptions(Form1Controls& c, OptionRules& rules, const SettingsRecord& record)
{
    const auto checks = checkBoxes(c);
    for (std::size_t i = 0; i < checks.size(); ++i)
        checks[i]->setCheckState(record.checks[i] == 1 ? Qt::Checked : Qt::Unchecked);

    const auto combos = comboBoxes(c);
    for (std::size_t i = 0; i < combos.size(); ++i) {
        const int stored = record.selections[i];
        combos[i]->setCurrentIndex(stored >= 0 && stored < combos[i]->count() ? stored : firstStartIndex);
    }

    c.Option1->setChecked(record.option1 != 0);
    c.Option2->setChecked(record.option2 != 0);
    if (!c.Option1->isChecked() && !c.Option2->isChecked())
        c.Option1->setChecked(true);

    c.Text1->setText(record.magnificationText());
    c.Text3->setText(QString::number(record.firstNumber));
    c.ProgressBar1->hide();
    if (c.Text1->text().trimmed().isEmpty())
        c.Text1->setText(QStringLiteral("100"));
    if (c.Text3->text() == QStringLiteral("-1"))
        c.Text3->setText(QStringLiteral("1"));
    rules.applyGroupRules();
}

void runStartUp(Form1Controls& c, OptionRules& rules, const std::filesystem::path& settingsFile)
{
    // A settings file that cannot be read or created leaves the first-start values.
    const SettingsRecord record = readOrCreateSettingsFile(settingsFile).value_or(SettingsRecord{});
    fillOptionLists(c);
    applyStoredOptions(c, rules, record);
    applyExtraOptions(c, ExtraOptions::read(ExtraOptions::fileBeside(settingsFile)));
}

SettingsRecord storedOptions(Form1Controls& c)
{
    SettingsRecord record;
    const auto checks = checkBoxes(c);
    for (std::size_t i = 0; i < checks.size(); ++i)
        record.checks[i] = OptionRules::isOn(checks[i]->checkState()) ? 1 : 0;
    const auto combos = comboBoxes(c);
    for (std::size_t i = 0; i < combos.size(); ++i)
        record.selections[i] = static_cast<std::int16_t>(combos[i]->currentIndex());
    record.option1 = c.Option1->isChecked() ? -1 : 0;
    record.option2 = c.Option2->isChecked() ? -1 : 0;
    record.setMagnificationText(c.Text1->text());
    if (c.Text3->text().isEmpty())
        c.Text3->setText(QStringLiteral("1"));
    record.firstNumber = wholeNumber16(c.Text3->text()).value_or(std::int16_t{1});
    return record;
}

} // namespace tavorin
