#include "app/Form1Layout.h"

#include "app/ControlFactory.h"
#include "app/Form1Controls.h"
#include "app/MarkLegendLabel.h"
#include "app/ShapeBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

namespace tavorin {

namespace {

const QColor listHeadingBack(255, 128, 128);

QFrame* makeLine(QWidget* parent, const QString& name, Place place, QFrame::Shape shape)
{
    auto* line = new QFrame(parent);
    placeControl(line, name, place);
    line->setFrameShape(shape);
    line->setFrameShadow(QFrame::Plain);
    line->setLineWidth(1);
    QPalette palette = line->palette();
    palette.setColor(QPalette::WindowText, QColor(128, 128, 128));
    line->setPalette(palette);
    line->setAttribute(Qt::WA_TransparentForMouseEvents);
    return line;
}

void buildWindowControls(QWidget& form, Form1Controls& c)
{
    c.Frame1 = makeFrame(&form, QStringLiteral("Frame1"), QStringLiteral("挿入画像指定"), {80, 120, 4170, 4530});
    c.Frame3 = makeFrame(&form, QStringLiteral("Frame3"), QStringLiteral("貼り付け先"), {75, 4800, 4170, 3285});
    c.Frame2 = makeFrame(&form, QStringLiteral("Frame2"), QString(), {4320, 120, 4530, 7965});
    c.Command2 = makeButton(&form, QStringLiteral("Command2"), QStringLiteral("Ｖｅｒ"), {6690, 15, 975, 300},
                            minchoFont(12));
    c.Command3 = makeButton(&form, QStringLiteral("Command3"), QStringLiteral("ＥＮＤ"), {7740, 15, 1095, 300},
                            minchoFont(12));
    c.TextA = makeTextField(&form, QStringLiteral("TextA"), QStringLiteral("TextA"), {120, 9720, 9255, 375}, 9);
    c.TextA->hide();
    c.List3 = makeList(&form, QStringLiteral("List3"), {120, 7080, 3315, 1320}, 9);
    c.List3->hide();
}

} // namespace

void buildPictureFrame(QWidget&, Form1Controls& c)
{
    QWidget* f = c.Frame1;
    c.Shape3 = new ShapeBox(f, QColor(), QColor(0, 0, 0));
    placeControl(c.Shape3, QStringLiteral("Shape3"), {2970, 3165, 1095, 930});

    c.Label11 = makeBorderedLabel(f, QStringLiteral("Label11"), QStringLiteral("画像ファイル (Drag＆Drop)"),
                                  {625, 285, 2870, 300}, 11.25, listHeadingBack);
    c.Label15 = makeBorderedLabel(f, QStringLiteral("Label15"), QStringLiteral("回転"), {3480, 290, 555, 300},
                                  11.25, listHeadingBack);
    c.List5 = makeList(f, QStringLiteral("List5"), {90, 600, 915, 2535}, 11.25);
    setBackColour(c.List5, QColor(167, 205, 175));
    c.List2 = makeList(f, QStringLiteral("List2"), {615, 600, 3240, 2535}, 11.25);
    setBackColour(c.List2, QColor(194, 220, 200));
    c.List2->setToolTip(QStringLiteral(" ﾘｽﾄ項目をDrag＆Dropすることで順番の変更が可能 "));
    c.List4 = makeList(f, QStringLiteral("List4"), {3480, 600, 555, 2535}, 11.25);
    setBackColour(c.List4, QColor(215, 232, 218));
    c.Check1 = makeCheckBox(f, QStringLiteral("Check1"), QStringLiteral("同一ファイル名挿入除外"),
                            {120, 3200, 2820, 255}, 11.25);
    c.Label16 = new MarkLegendLabel(QStringLiteral("○： 　　０°→： 　９０°↓： １８０°←：－９０°"), f);
    placeControl(c.Label16, QStringLiteral("Label16"), {3050, 3240, 1060, 855});
    c.Label16->setFont(gothicFont(9.75));
    setTextColour(c.Label16, QColor(192, 64, 0));
    c.LISTClear = makeButton(f, QStringLiteral("LISTClear"), QStringLiteral("Clear"), {130, 3600, 1180, 420},
                             minchoFont(12));
    c.DATACount = makeBorderedLabel(f, QStringLiteral("DATACount"), QString(), {1440, 3645, 735, 360}, 14.25,
                                    QColor(224, 224, 224));
    c.Label3 = makeLabel(f, QStringLiteral("Label3"), QStringLiteral("Files"), {2235, 3735, 600, 255}, 12);
    c.Label3->setFont(minchoFont(12));
    c.Check3 = makeCheckBox(f, QStringLiteral("Check3"), QStringLiteral("ソート"), {600, 4110, 975, 350}, 11.25);
    c.ProgressBar1 = new QProgressBar(f);
    placeControl(c.ProgressBar1, QStringLiteral("ProgressBar1"), {45, 4110, 4065, 360});
    c.ProgressBar1->setRange(0, 100);
    c.ProgressBar1->setValue(0);
    c.ProgressBar1->setTextVisible(false);
}

void buildWorkbookFrame(QWidget&, Form1Controls& c)
{
    QWidget* f = c.Frame3;
    c.Shape4 = new ShapeBox(f, QColor(255, 192, 192), QColor(128, 128, 128));
    placeControl(c.Shape4, QStringLiteral("Shape4"), {120, 2295, 3930, 840});
    // The outline of the sheet-name group: top edge, right edge, bottom edge.
    c.Line11 = makeLine(f, QStringLiteral("Line11"), {105, 2265, 3960, 30}, QFrame::HLine);
    c.Line14 = makeLine(f, QStringLiteral("Line14"), {4050, 2280, 30, 870}, QFrame::VLine);
    c.Line15 = makeLine(f, QStringLiteral("Line15"), {105, 3135, 3960, 30}, QFrame::HLine);

    c.Label20 = makeBorderedLabel(f, QStringLiteral("Label20"), QStringLiteral("  Ｅｘｃｅｌファイル (Drag ＆ Drop)"),
                                  {120, 285, 3960, 300}, 11.25, QColor(255, 255, 128));
    c.Label1 = makeBorderedLabel(f, QStringLiteral("Label1"), QString(), {120, 595, 3960, 375}, 14.25,
                                 QColor(255, 255, 192));
    c.Label2 = makeLabel(f, QStringLiteral("Label2"), QStringLiteral("SHEET"), {1305, 1020, 2655, 255}, 12);
    setTextColour(c.Label2, QColor(0, 0, 192));
    c.Command1 = makeButton(f, QStringLiteral("Command1"), QStringLiteral("START"), {120, 1035, 1065, 1020},
                            gothicFont(12));
    c.List1 = makeList(f, QStringLiteral("List1"), {1275, 1270, 2775, 780}, 12);
    c.Label17 = makeLabel(f, QStringLiteral("Label17"), QStringLiteral("挿入SHEET名"), {270, 2370, 1695, 255}, 12);
    setTextColour(c.Label17, QColor(255, 0, 0));
    c.Check4 = makeCheckBox(f, QStringLiteral("Check4"), QStringLiteral("日付け適用"), {2010, 2370, 1815, 260},
                            11.25);
    setBackColour(c.Check4, QColor(255, 192, 192));
    c.Text2 = makeTextField(f, QStringLiteral("Text2"), QString(), {210, 2640, 3720, 420}, 14.25);
}

// Options the window gained after its first layout, in a strip of their own below it.
void buildExtraOptionsFrame(QWidget& form, Form1Controls& c)
{
    c.Frame4 = makeFrame(&form, QStringLiteral("Frame4"), QStringLiteral("詳細設定"), {80, 8130, 8770, 960});
    QWidget* f = c.Frame4;
    c.Label36 = makeLabel(f, QStringLiteral("Label36"), QStringLiteral("画像を合わせる表示"), {120, 270, 1800, 255}, 9.75);
    c.Combo15 = new QComboBox(f);
    placeControl(c.Combo15, QStringLiteral("Combo15"), {1920, 210, 1560, 330});
    c.Combo15->setFont(gothicFont(9.75));
    c.Combo15->setToolTip(QStringLiteral(" LibreOffice は同じ列を Excel より広く表示します。LibreOffice で見るブックは LibreOffice を選ぶと、画像の縦横比が保たれます "));
    c.Check10 = makeCheckBox(f, QStringLiteral("Check10"), QStringLiteral("写真の向きを反映"), {3720, 240, 2160, 270}, 9.75);
    c.Check10->setToolTip(QStringLiteral(" スマートフォンやカメラの写真を、写真ビューアーと同じ向きで貼り付けます。外すと保存されたままの向きです "));
    c.Label37 = makeLabel(f, QStringLiteral("Label37"), QStringLiteral("日付"), {6060, 270, 600, 255}, 9.75);
    c.Combo16 = new QComboBox(f);
    placeControl(c.Combo16, QStringLiteral("Combo16"), {6660, 210, 1560, 330});
    c.Combo16->setFont(gothicFont(9.75));
    c.Combo16->setToolTip(QStringLiteral(" 画像作成日に書く日付：ファイルの作成日時、または写真の撮影日時（記録がなければ作成日時） "));
    c.Check11 = makeCheckBox(f, QStringLiteral("Check11"), QStringLiteral("画像を縮小 (dpi)"), {120, 600, 1800, 270}, 9.75);
    c.Combo17 = new QComboBox(f);
    placeControl(c.Combo17, QStringLiteral("Combo17"), {1920, 570, 1560, 330});
    c.Combo17->setFont(gothicFont(9.75));
    const QString reduction = QStringLiteral(" 画像を、貼り付ける大きさでこの解像度（1 インチあたりの画素数）まで縮小して保存します。"
                                             "ブックが小さくなり、多くの写真も Excel 97-2003 形式（2 GB まで）に収まります ");
    c.Check11->setToolTip(reduction);
    c.Combo17->setToolTip(reduction);
    // The resolution only means something while reduction is on.
    c.Combo17->setEnabled(false);
    QObject::connect(c.Check11, &QCheckBox::toggled, c.Combo17, &QWidget::setEnabled);
}

void buildForm1Controls(QWidget& form, Form1Controls& controls)
{
    buildWindowControls(form, controls);
    buildPictureFrame(form, controls);
    buildWorkbookFrame(form, controls);
    buildOptionPanel(form, controls);
    buildExtraOptionsFrame(form, controls);
    setForm1TabOrder(controls);
}

void setForm1TabOrder(const Form1Controls& c)
{
    QWidget* const order[] = {
        c.List2,   c.LISTClear, c.Check1,  c.Combo1,  c.Combo2,  c.Combo3,  c.Combo4,  c.Combo5,  c.Combo6,
        c.Check3,  c.Command2,  c.Command3, c.Text1,  c.List4,   c.Combo8,  c.Combo7,  c.Check2,  c.Command1,
        c.List1,   c.Check5,    c.Combo9,  c.Combo10, c.Option1, c.Option2, c.Check6,  c.Combo11, c.Combo12,
        c.Text2,   c.Check4,    c.Combo13, c.Check7,  c.Check8,  c.Combo14, c.List5,   c.Text3,   c.Check9,
        c.Combo15, c.Check10,   c.Combo16, c.Check11,  c.Combo17,
    };
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
}

} // namespace tavorin
