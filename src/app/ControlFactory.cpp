#include "app/ControlFactory.h"

#include "app/Twips.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

namespace tavorin {

QFont gothicFont(double pointSize)
{
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"), QStringLiteral("IPA Pゴシック")});
    font.setPointSizeF(pointSize);
    font.setBold(true);
    return font;
}

QFont minchoFont(double pointSize)
{
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ Ｐ明朝"), QStringLiteral("IPAPMincho"), QStringLiteral("IPA P明朝")});
    font.setPointSizeF(pointSize);
    font.setBold(true);
    font.setItalic(true);
    return font;
}

void placeControl(QWidget* control, const QString& name, Place place)
{
    control->setObjectName(name);
    control->setGeometry(twipsRect(place.left, place.top, place.width, place.height));
}

void setBackColour(QWidget* control, QColor colour)
{
    QPalette palette = control->palette();
    palette.setColor(QPalette::Window, colour);
    palette.setColor(QPalette::Base, colour);
    palette.setColor(QPalette::Button, colour);
    control->setPalette(palette);
    control->setAutoFillBackground(true);
}

void setTextColour(QWidget* control, QColor colour)
{
    QPalette palette = control->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Text, colour);
    palette.setColor(QPalette::ButtonText, colour);
    control->setPalette(palette);
}

QGroupBox* makeFrame(QWidget* parent, const QString& name, const QString& caption, Place place)
{
    auto* frame = new QGroupBox(caption, parent);
    placeControl(frame, name, place);
    frame->setFont(gothicFont(12));
    return frame;
}

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& caption, Place place, double pointSize)
{
    auto* label = new QLabel(caption, parent);
    placeControl(label, name, place);
    label->setFont(gothicFont(pointSize));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QLabel* makeBorderedLabel(QWidget* parent, const QString& name, const QString& caption, Place place,
                          double pointSize, QColor back)
{
    QLabel* label = makeLabel(parent, name, caption, place, pointSize);
    label->setFrameShape(QFrame::Box);
    label->setLineWidth(1);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setBackColour(label, back);
    return label;
}

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption, Place place,
                        const QFont& font)
{
    auto* button = new QPushButton(caption, parent);
    placeControl(button, name, place);
    button->setFont(font);
    button->setAutoDefault(false);
    return button;
}

QCheckBox* makeCheckBox(QWidget* parent, const QString& name, const QString& caption, Place place,
                        double pointSize)
{
    auto* box = new QCheckBox(caption, parent);
    placeControl(box, name, place);
    box->setFont(gothicFont(pointSize));
    return box;
}

QRadioButton* makeOptionButton(QWidget* parent, const QString& name, const QString& caption, Place place,
                               double pointSize)
{
    auto* button = new QRadioButton(caption, parent);
    placeControl(button, name, place);
    button->setFont(gothicFont(pointSize));
    return button;
}

QListWidget* makeList(QWidget* parent, const QString& name, Place place, double pointSize)
{
    auto* list = new QListWidget(parent);
    placeControl(list, name, place);
    list->setFont(gothicFont(pointSize));
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return list;
}

QComboBox* makeCombo(QWidget* parent, const QString& name, Place place)
{
    auto* combo = new QComboBox(parent);
    combo->setEditable(true);
    // A plain edit field: typed text is neither completed nor added to the items.
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);
    combo->setMaxVisibleItems(8);
    placeControl(combo, name, place);
    combo->setFont(gothicFont(12));
    return combo;
}

QLineEdit* makeTextField(QWidget* parent, const QString& name, const QString& text, Place place,
                         double pointSize)
{
    auto* field = new QLineEdit(text, parent);
    placeControl(field, name, place);
    field->setFont(gothicFont(pointSize));
    return field;
}

} // namespace tavorin
