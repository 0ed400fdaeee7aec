// 画像の解像度 in the 詳細設定 strip: first start 縮小しない, END keeps the choice in
// options.ini and the next start shows it; START with 96 stores the photo with at most 96 pixels per inch of
// its frame (Apache POI's reading) while the progress bar goes on through the save to 100.
#include "support/ExcelGrid.h"
#include "support/Oracles.h"
#include "support/TestPaths.h"
#include "support/UserActions.h"
#include "support/Window.h"
#include "support/WindowScript.h"

#include <QComboBox>
#include <QJsonArray>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>

using namespace tavorin;
using namespace tavorin::test;

class PictureSizeTest : public QObject {
    Q_OBJECT

private slots:
    void choiceKeptAcrossRestart_data()
    {
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("stored");
        QTest::newRow("150") << 2 << "150" << "150";
        QTest::newRow("330") << 4 << "330" << "330";
        QTest::newRow("off again") << 0 << "縮小しない" << "off";
    }
    void choiceKeptAcrossRestart()
    {
        QFETCH(int, item);
        QFETCH(QString, shown);
        QFETCH(QString, stored);
        Window window;
        Form1& form = window.start();
        expectStates(&form, {"Combo17=縮小しない", "Label38=画像の解像度 (dpi)"});
        perform(&form, {QStringLiteral("choose Combo17 %1").arg(item)});
        click(form.Command3);
        QCOMPARE(window.readSettings().size(), 49);
        const QSettings ini(pathText(window.settingsFile().parent_path() / "options.ini"), QSettings::IniFormat);
        QCOMPARE(ini.value("pictures/resolution").toString(), stored);
        expectStates(&window.start(), {"Combo17=" + shown});
    }

    void startStoresThePhotoReduced()
    {
        Window window;
        Form1& form = window.start();
        const auto workbook = copyWorkbook(window.folder().path(), "plain.xls");
        const auto photo = window.folder() / "big.jpg";
        QImage pixels(1600, 1200, QImage::Format_RGB32);
        pixels.fill(QColor(40, 120, 200));
        QVERIFY(pixels.save(pathText(photo), "JPEG", 95));
        QVERIFY(dropFiles(form.Label20, {pathText(workbook)}));
        QVERIFY(dropFiles(form.List2, {pathText(photo)}));
        perform(&form, {"choose Combo1 1", "choose Combo2 4", "choose Combo3 1", "choose Combo4 9", "choose Combo17 1"});
        std::vector<int> bar;
        connect(form.ProgressBar1, &QProgressBar::valueChanged, this, [&](int value) { bar.push_back(value); });
        click(form.Command1);
        QVERIFY(window.lastMessage().startsWith(QStringLiteral("  処理終了！")));
        QVERIFY(!bar.empty());
        QCOMPARE(*std::max_element(bar.begin(), bar.end()), 100);
        QVERIFY2(std::count_if(bar.begin(), bar.end(), [](int v) { return v > 50 && v < 100; }) > 0,
                 "the bar moves while the workbook is saved");

        const auto report = poiReport(workbook);
        QVERIFY(report.has_value());
        const QJsonObject sheet = sheetNamed(*report, "Sheet1", "POI");
        const QJsonObject picture = sheet["pictures"].toArray()[0].toObject();
        const auto grid = ExcelGrid::fromPoi(*report, sheet);
        QVERIFY(grid.has_value());
        const PointRect frame = grid->anchorRect(picture["anchor"].toArray());
        QVERIFY2(std::abs(picture["width"].toDouble() - frame.width / 72 * 96) <= 1.5, qPrintable(QString::number(picture["width"].toDouble())));
        QVERIFY(std::abs(picture["height"].toDouble() - frame.height / 72 * 96) <= 1.5);
    }
};

QTEST_MAIN(PictureSizeTest)
#include "PictureSize_test.moc"
