#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QWidget;

namespace tavorin {

// Builders for the window's controls. Positions and sizes are in twips, relative to the
// parent; every control gets its name as objectName so that it can be found by it.

// The window's face: bold proportional Gothic; bold italic Mincho for the few decorative
// buttons and labels. The Japanese system face comes first, the IPA faces stand in for it.
QFont gothicFont(double pointSize);
QFont minchoFont(double pointSize);

struct Place {
    int left;
    int top;
    int width;
    int height;
};

void placeControl(QWidget* control, const QString& name, Place place);
void setBackColour(QWidget* control, QColor colour);
void setTextColour(QWidget* control, QColor colour);

QGroupBox* makeFrame(QWidget* parent, const QString& name, const QString& caption, Place place);
QLabel* makeLabel(QWidget* parent, const QString& name, const QString& caption, Place place, double pointSize);
// A label with a single border, like the headings of the lists.
QLabel* makeBorderedLabel(QWidget* parent, const QString& name, const QString& caption, Place place,
                          double pointSize, QColor back);
QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption, Place place,
                        const QFont& font);
QCheckBox* makeCheckBox(QWidget* parent, const QString& name, const QString& caption, Place place,
                        double pointSize);
QRadioButton* makeOptionButton(QWidget* parent, const QString& name, const QString& caption, Place place,
                               double pointSize);
QListWidget* makeList(QWidget* parent, const QString& name, Place place, double pointSize);
// A drop-down combo box with an edit field (12 pt).
QComboBox* makeCombo(QWidget* parent, const QString& name, Place place);
QLineEdit* makeTextField(QWidget* parent, const QString& name, const QString& text, Place place,
                         double pointSize);

} // namespace tavorin
