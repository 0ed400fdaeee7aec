#include "app/ControlFactory.h"
#include "app/DecorationLine.h"
#include "app/Form1Controls.h"
#include "app/Form1Layout.h"
#include "app/ShapeBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace tavorin {

namespace {

const QColor columnBack(255, 192, 128);
const QColor rowBack(128, 255, 128);
const QColor captionGroupBack(189, 255, 225);
const QColor bottomRowBack(224, 224, 224);

// The bordered headings of the bottom row use the system's light button face.
QColor headingBack(const QWidget* widget) { return widget->palette().color(QPalette::Button); }

QComboBox* makeColoredCombo(QWidget* parent, const QString& name, Place place, QColor back)
{
    QComboBox* combo = makeCombo(parent, name, place);
    setBackColour(combo, back);
    combo->setAutoFillBackground(false);
    return combo;
}

QCheckBox* makeGroupCheckBox(QWidget* parent, const QString& name, const QString& caption, Place place,
                             double pointSize)
{
    QCheckBox* box = makeCheckBox(parent, name, caption, place, pointSize);
    setBackColour(box, captionGroupBack);
    return box;
}

void buildShapes(QWidget* f, Form1Controls& c)
{
    c.Shape1 = new ShapeBox(f, captionGroupBack, QColor(0, 0, 0));
    placeControl(c.Shape1, QStringLiteral("Shape1"), {45, 3240, 4425, 930});
    c.Shape6 = new ShapeBox(f, captionGroupBack, QColor(0, 0, 0));
    placeControl(c.Shape6, QStringLiteral("Shape6"), {45, 4185, 4425, 480});
    c.Shape7 = new ShapeBox(f, captionGroupBack, QColor(0, 0, 0));
    placeControl(c.Shape7, QStringLiteral("Shape7"), {45, 4680, 4425, 480});
    c.Shape5 = new ShapeBox(f, bottomRowBack, QColor(0, 0, 0));
    placeControl(c.Shape5, QStringLiteral("Shape5"), {50, 5220, 4425, 840});
    c.Shape2 = new ShapeBox(f, QColor(), QColor(0, 0, 0));
    placeControl(c.Shape2, QStringLiteral("Shape2"), {1365, 1140, 2445, 1875});
}

// The drawing of the insertion area: a thick outline around the preview and the dimension
// lines out to the column and row choosers.
void buildInsertionAreaDrawing(QWidget* f)
{
    using Head = DecorationLine::Head;
    const QPoint topLeft(1350, 1125);
    const QPoint bottomRight(3825, 3000);
    new DecorationLine(f, topLeft, {bottomRight.x(), topLeft.y()}, 3);
    new DecorationLine(f, {bottomRight.x(), topLeft.y()}, bottomRight, 3);
    new DecorationLine(f, bottomRight, {topLeft.x(), bottomRight.y()}, 3);
    new DecorationLine(f, {topLeft.x(), bottomRight.y()}, topLeft, 3);
    new DecorationLine(f, {topLeft.x(), 900}, topLeft, 1, Head::Arrow);
    new DecorationLine(f, {bottomRight.x(), 900}, {bottomRight.x(), topLeft.y()}, 1, Head::Arrow);
    new DecorationLine(f, {1050, topLeft.y()}, topLeft, 1, Head::Arrow);
    new DecorationLine(f, {1050, bottomRight.y()}, {topLeft.x(), bottomRight.y()}, 1, Head::Arrow);
}

// Arrows between the marks of the two layouts under "挿入形式".
void buildLayoutArrows(QWidget* f)
{
    using Head = DecorationLine::Head;
    new DecorationLine(f, {1725, 6810}, {1725, 7020}, 1, Head::Arrow);
    new DecorationLine(f, {1725, 7350}, {1725, 7545}, 1, Head::Arrow);
    new DecorationLine(f, {2880, 6645}, {3840, 6645}, 1, Head::Arrow);
    new DecorationLine(f, {3900, 6810}, {2895, 7080}, 1, Head::Arrow);
}

void buildInsertionArea(QWidget* f, Form1Controls& c)
{
    c.Label6 = makeLabel(f, QStringLiteral("Label6"), QStringLiteral("START列"), {1360, 300, 1095, 225}, 9.75);
    c.Label5 = makeLabel(f, QStringLiteral("Label5"), QStringLiteral("END列"), {3195, 300, 705, 225}, 9.75);
    c.Combo1 = makeColoredCombo(f, QStringLiteral("Combo1"), {1350, 540, 975, 360}, columnBack);
    c.Combo2 = makeColoredCombo(f, QStringLiteral("Combo2"), {2850, 540, 975, 360}, columnBack);
    c.Label8 = makeLabel(f, QStringLiteral("Label8"), QStringLiteral("ＳＴＡＲＴ行"), {250, 885, 1065, 225}, 9.75);
    c.Combo3 = makeColoredCombo(f, QStringLiteral("Combo3"), {250, 1125, 800, 360}, rowBack);
    c.Label9 = makeLabel(f, QStringLiteral("Label9"), QStringLiteral("ＥＮＤ行"), {250, 2400, 825, 225}, 9.75);
    c.Combo4 = makeColoredCombo(f, QStringLiteral("Combo4"), {250, 2640, 800, 360}, rowBack);
    c.Image1 = new QLabel(f);
    placeControl(c.Image1, QStringLiteral("Image1"), {1365, 1140, 2450, 1840});
    c.Image1->setScaledContents(true);
    c.Label7 = makeLabel(f, QStringLiteral("Label7"), QStringLiteral("画 像"), {1965, 1755, 1455, 540}, 27.75);
    c.Label7->setAlignment(Qt::AlignCenter);
    setTextColour(c.Label7, QColor(255, 0, 0));
}

void buildDateGroup(QWidget* f, Form1Controls& c)
{
    c.Check2 = makeGroupCheckBox(f, QStringLiteral("Check2"), QStringLiteral("画像作成日"), {120, 3340, 2295, 340}, 11.25);
    c.Combo7 = makeColoredCombo(f, QStringLiteral("Combo7"), {2340, 3330, 800, 360}, rowBack);
    c.Label18 = makeLabel(f, QStringLiteral("Label18"), QStringLiteral("行"), {3135, 3450, 225, 225}, 9.75);
    c.Combo8 = makeColoredCombo(f, QStringLiteral("Combo8"), {3435, 3330, 750, 360}, columnBack);
    c.Label19 = makeLabel(f, QStringLiteral("Label19"), QStringLiteral("列"), {4185, 3450, 255, 225}, 9.75);
    c.Label12 = makeLabel(f, QStringLiteral("Label12"), QStringLiteral("形式"), {1070, 3810, 450, 225}, 9.75);
    c.Combo13 = makeCombo(f, QStringLiteral("Combo13"), {1540, 3735, 2640, 360});
}

void buildNumberGroup(QWidget* f, Form1Controls& c)
{
    c.Check5 = makeGroupCheckBox(f, QStringLiteral("Check5"), QStringLiteral("連番"), {120, 4260, 1455, 340}, 11.25);
    c.Text3 = makeTextField(f, QStringLiteral("Text3"), QString(), {900, 4240, 630, 360}, 12);
    c.Text3->setMaxLength(4);
    c.Option1 = makeOptionButton(f, QStringLiteral("Option1"), QStringLiteral("No.1"), {1545, 4200, 765, 255}, 9.75);
    setBackColour(c.Option1, captionGroupBack);
    c.Option2 = makeOptionButton(f, QStringLiteral("Option2"), QStringLiteral(" 1"), {1545, 4440, 765, 200}, 9.75);
    setBackColour(c.Option2, captionGroupBack);
    c.Combo9 = makeColoredCombo(f, QStringLiteral("Combo9"), {2340, 4245, 800, 360}, rowBack);
    c.Label23 = makeLabel(f, QStringLiteral("Label23"), QStringLiteral("行"), {3135, 4350, 345, 225}, 9.75);
    c.Combo10 = makeColoredCombo(f, QStringLiteral("Combo10"), {3435, 4245, 750, 360}, columnBack);
    c.Label24 = makeLabel(f, QStringLiteral("Label24"), QStringLiteral("列"), {4185, 4350, 255, 225}, 9.75);
}

void buildFileNameGroup(QWidget* f, Form1Controls& c)
{
    c.Check6 = makeGroupCheckBox(f, QStringLiteral("Check6"), QStringLiteral("ファイル名"), {120, 4710, 1515, 220}, 11.25);
    c.Check9 = makeGroupCheckBox(f, QStringLiteral("Check9"), QStringLiteral("拡張子なし"), {900, 4925, 1365, 220}, 9.75);
    c.Combo12 = makeColoredCombo(f, QStringLiteral("Combo12"), {2340, 4735, 800, 360}, rowBack);
    c.Label26 = makeLabel(f, QStringLiteral("Label26"), QStringLiteral("行"), {3135, 4855, 345, 225}, 9.75);
    c.Combo11 = makeColoredCombo(f, QStringLiteral("Combo11"), {3435, 4735, 750, 360}, columnBack);
    c.Label25 = makeLabel(f, QStringLiteral("Label25"), QStringLiteral("列"), {4185, 4855, 255, 225}, 9.75);
}

void buildBottomRow(QWidget* f, Form1Controls& c)
{
    c.Label4 = makeBorderedLabel(f, QStringLiteral("Label4"), QStringLiteral(" 画像 間隔"), {195, 5325, 1095, 255},
                                 9.75, headingBack(f));
    c.Combo5 = makeColoredCombo(f, QStringLiteral("Combo5"), {200, 5610, 855, 360}, rowBack);
    c.Label21 = makeLabel(f, QStringLiteral("Label21"), QStringLiteral("行"), {1065, 5730, 345, 225}, 9.75);
    c.Label10 = makeBorderedLabel(f, QStringLiteral("Label10"), QStringLiteral(" 1SHEET 挿入数"),
                                  {1425, 5325, 1665, 255}, 9.75, headingBack(f));
    c.Combo6 = makeCombo(f, QStringLiteral("Combo6"), {2025, 5610, 855, 360});
    c.Label22 = makeLabel(f, QStringLiteral("Label22"), QStringLiteral("枚"), {2865, 5730, 345, 225}, 9.75);
    c.Label13 = makeBorderedLabel(f, QStringLiteral("Label13"), QStringLiteral(" 画像 倍率"), {3225, 5325, 1095, 255},
                                  9.75, headingBack(f));
    c.Text1 = makeTextField(f, QStringLiteral("Text1"), QStringLiteral("100"), {3485, 5610, 525, 360}, 11.25);
    c.Text1->setMaxLength(3);
    c.Label14 = makeLabel(f, QStringLiteral("Label14"), QStringLiteral("％"), {4065, 5730, 225, 225}, 9.75);
}

void buildLayoutChoice(QWidget* f, Form1Controls& c)
{
    c.Label35 = makeLabel(f, QStringLiteral("Label35"), QStringLiteral("挿入形式"), {315, 6210, 945, 225}, 9.75);
    c.Check7 = makeCheckBox(f, QStringLiteral("Check7"), QString(), {1620, 6210, 375, 255}, 9.75);
    c.Label30 = makeLabel(f, QStringLiteral("Label30"), QStringLiteral("①"), {1575, 6480, 330, 330}, 14.25);
    c.Label31 = makeLabel(f, QStringLiteral("Label31"), QStringLiteral("②"), {1575, 7020, 330, 330}, 14.25);
    c.Label32 = makeLabel(f, QStringLiteral("Label32"), QStringLiteral("③"), {1575, 7545, 330, 330}, 14.25);
    c.Check8 = makeCheckBox(f, QStringLiteral("Check8"), QString(), {2610, 6210, 375, 255}, 9.75);
    c.Label27 = makeLabel(f, QStringLiteral("Label27"), QStringLiteral("①"), {2565, 6480, 330, 330}, 14.25);
    c.Label28 = makeLabel(f, QStringLiteral("Label28"), QStringLiteral("②"), {3870, 6480, 330, 330}, 14.25);
    c.Label29 = makeLabel(f, QStringLiteral("Label29"), QStringLiteral("③"), {2565, 6975, 330, 330}, 14.25);
    c.Label33 = makeBorderedLabel(f, QStringLiteral("Label33"), QStringLiteral(" 画像 間隔"), {2880, 7245, 1095, 255},
                                  9.75, headingBack(f));
    c.Combo14 = makeColoredCombo(f, QStringLiteral("Combo14"), {2880, 7530, 855, 360}, columnBack);
    c.Label34 = makeLabel(f, QStringLiteral("Label34"), QStringLiteral("列"), {3750, 7650, 345, 225}, 9.75);
}

} // namespace

void buildOptionPanel(QWidget&, Form1Controls& c)
{
    QWidget* f = c.Frame2;
    buildShapes(f, c);
    buildInsertionAreaDrawing(f);
    buildLayoutArrows(f);
    buildInsertionArea(f, c);
    buildDateGroup(f, c);
    buildNumberGroup(f, c);
    buildFileNameGroup(f, c);
    buildBottomRow(f, c);
    buildLayoutChoice(f, c);
}

} // namespace tavorin
