// Photos in the window: the preview shows each as photo viewers do (all eight EXIF orientations
// and a phone's HEIC) and as stored once 写真の向きを反映 is off; the 詳細設定 strip holds the
// new options tidily, END keeps them beside the settings record and the next start restores
// them; START places photos by them and tells why a picture was left out in Japanese.
#include "support/Oracles.h"
#include "support/PhotoSamples.h"
#include "support/TestPaths.h"
#include "support/UserActions.h"
#include "support/Window.h"
#include "support/WindowScript.h"

#include <QCheckBox>
#include <QDate>
#include <QGroupBox>
#include <QJsonArray>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>

using namespace tavorin;
using namespace tavorin::test;

namespace {

const QSize portrait(90, 144);
const QString takenText = QStringLiteral("2019:07:21 08:15:42");

QImage previewShown(const Form1& form) { return form.Image1->pixmap().toImage(); }

} // namespace

class PhotosTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        Form1& form = window_.start();
        QStringList files;
        for (int orientation = 1; orientation <= 8; ++orientation) {
            const auto path = window_.folder() / QStringLiteral("o%1.jpg").arg(orientation).toStdString();
            writeFile(path, jpegWithExif(storedPixels(uprightPhoto(portrait), orientation), {orientation, takenText, false}));
            files << pathText(path);
        }
        const auto heic = window_.folder() / "IMG_0001.HEIC";
        writeHeic(heic, storedPixels(uprightPhoto(portrait), 6), 6, exifTiff({6, takenText, true}));
        files << pathText(heic);
        QVERIFY(dropFiles(form.List2, files));
        QCOMPARE(form.List2->count(), 9);
    }

    void previewShowsPhotosAsViewersDo_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("orientation"); // of the stored pixels
        for (int orientation = 1; orientation <= 8; ++orientation)
            QTest::addRow("orientation %d", orientation) << orientation - 1 << orientation;
        QTest::newRow("a phone's HEIC, turned by its own box") << 8 << 6;
    }

    // Upright, portrait, band on top with the block at its left; as stored once the box is off.
    void previewShowsPhotosAsViewersDo()
    {
        QFETCH(int, row);
        QFETCH(int, orientation);
        Form1& form = window_.form();
        QVERIFY(form.Check10->isChecked());
        clickRow(form.List2, row);
        QImage shown = previewShown(form);
        QCOMPARE(marksOf(shown), QStringLiteral("top:left"));
        QVERIFY2(form.Image1->height() > form.Image1->width(), "the preview is not as tall as the photo");

        click(form.Check10);
        QVERIFY(!form.Check10->isChecked());
        const QImage stored = storedPixels(uprightPhoto(portrait), orientation);
        shown = previewShown(form);
        QCOMPARE(marksOf(shown), marksOf(stored));
        QCOMPARE(form.Image1->height() > form.Image1->width(), stored.height() > stored.width());
        click(form.Check10);
        QCOMPARE(marksOf(previewShown(form)), QStringLiteral("top:left"));
    }

    // The strip's controls lie inside it and apart; first start: the orientation applied, the
    // creation date, the fit for Excel. END writes them to options.ini beside the settings record,
    // whose 49 bytes never see them; a value the program does not know is its first-start choice.
    void optionsKeptAcrossRestart()
    {
        Window window;
        Form1& form = window.start();
        const QRect strip = form.Frame4->rect();
        const auto controls = form.Frame4->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
        QCOMPARE(controls.size(), 7);
        for (QWidget* control : controls) {
            QVERIFY2(strip.contains(control->geometry()), qPrintable(control->objectName() + " sticks out of 詳細設定"));
            for (QWidget* other : controls)
                QVERIFY2(other == control || !other->geometry().intersects(control->geometry()),
                         qPrintable(control->objectName() + " covers " + other->objectName()));
        }
        // Reduction starts off, with 150 dpi ready for when it is turned on.
        expectStates(&form, {"Check10=on", "Combo16=作成日時", "Label37=日付", "Combo15=Excel", "Check11=off",
                             "Combo17=150", "Combo17:disabled"});
        QCOMPARE(form.Check10->text(), QStringLiteral("写真の向きを反映"));
        QCOMPARE(form.Check11->text(), QStringLiteral("画像を縮小 (dpi)"));

        perform(&form, {"click Check10", "choose Combo16 1", "choose Combo15 1", "click Check11", "choose Combo17 3"});
        click(form.Command3);
        QCOMPARE(window.endProgramCalls, 1);
        QCOMPARE(window.readSettings().size(), 49);
        const auto ini = window.settingsFile().parent_path() / "options.ini";
        {
            const QSettings stored(pathText(ini), QSettings::IniFormat);
            QCOMPARE(stored.value("pictures/orientation").toString(), QStringLiteral("as-stored"));
            QCOMPARE(stored.value("captions/date").toString(), QStringLiteral("taken"));
            QCOMPARE(stored.value("pictures/fit-for").toString(), QStringLiteral("libreoffice"));
            QCOMPARE(stored.value("pictures/reduce").toString(), QStringLiteral("on"));
            QCOMPARE(stored.value("pictures/resolution").toString(), QStringLiteral("330"));
        }

        Form1& again = window.start();
        expectStates(&again, {"Check10=off", "Combo16=撮影日時", "Combo15=LibreOffice", "Check11=on", "Combo17=330",
                              "Combo17:enabled"});
        // Turned off, the resolution chosen is kept for the next time.
        perform(&again, {"click Check10", "choose Combo16 0", "click Check11"});
        click(again.Command3);
        expectStates(&window.start(), {"Check10=on", "Combo16=作成日時", "Combo15=LibreOffice", "Check11=off",
                                       "Combo17=330", "Combo17:disabled"});
        // A file written before the switch: a resolution meant on, a value no choice reads as first start.
        writeText(ini, "[pictures]\nfit-for=w\nresolution=220\n");
        expectStates(&window.start(), {"Combo15=Excel", "Check11=on", "Combo17=220"});
        writeText(ini, "[pictures]\nresolution=off\n");
        expectStates(&window.start(), {"Check11=off", "Combo17=150"});
    }

    // START twice on one sheet: first with the first-start options (the phone photo turned
    // upright, its file's creation date), then as stored with the date taken. A HEIC cut short
    // is left out with its reason in Japanese.
    void startPlacesPhotosByTheOptions()
    {
        Window window;
        Form1& form = window.start();
        const auto workbook = copyWorkbook(window.folder().path(), "plain.xls");
        const auto photo = window.folder() / "phone.jpg";
        writeFile(photo, jpegWithExif(storedPixels(uprightPhoto(portrait), 6), {6, takenText, false}));
        const auto heic = window.folder() / "whole.heic";
        writeHeic(heic, uprightPhoto(portrait), 1, {});
        const Bytes whole = fileBytes(heic);
        writeFile(window.folder() / "cut.heic", Bytes(whole.begin(), whole.begin() + 300));
        QVERIFY(dropFiles(form.Label20, {pathText(workbook)}));
        QVERIFY(dropFiles(form.List2, {pathText(photo), pathText(window.folder() / "cut.heic")}));
        perform(&form, {"choose Combo1 1", "choose Combo2 4", "choose Combo3 1", "choose Combo4 9", "click Check2",
                        "choose Combo7 10", "choose Combo8 1"});

        click(form.Command1);
        QVERIFY(window.lastMessage().startsWith(QStringLiteral("  処理終了！")));
        QVERIFY2(window.lastMessage().contains(QStringLiteral("cut.heic … 画像が壊れているか、読み取れない種類のファイルです")),
                 qPrintable(window.lastMessage()));
        perform(&form, {"click Check10", "choose Combo16 1"});
        click(form.Command1);

        const auto report = poiReport(workbook);
        QVERIFY(report.has_value());
        const QJsonObject sheet = sheetNamed(*report, "Sheet1", "POI");
        const QJsonArray pictures = sheet["pictures"].toArray();
        QCOMPARE(pictures.size(), 2);
        QCOMPARE(pictures[0].toObject()["rotation"].toInt(), 90);
        QCOMPARE(pictures[1].toObject()["rotation"].toInt(), 0);
        // Both runs wrote the date into B11; the second, the date taken, stays.
        const QJsonObject cell = cellOf(sheet, "B11");
        const double taken = double(QDate(1899, 12, 30).daysTo(QDate(2019, 7, 21))) + (8 * 3600 + 15 * 60 + 42) / 86400.0;
        QVERIFY2(std::abs(cell["value"].toDouble() - taken) < 1e-6, qPrintable(QString::number(cell["value"].toDouble())));
    }

    // START with 96 dpi stores the photo reduced (Apache POI's reading) while the progress bar goes on
    // through the save to 100.
    void startStoresThePhotoReduced()
    {
        Window window;
        Form1& form = window.start();
        const auto workbook = copyWorkbook(window.folder().path(), "plain.xls");
        const auto photo = window.folder() / "big.jpg";
        writeFile(photo, encodedImage(uprightPhoto({1600, 1200}), "JPEG"));
        QVERIFY(dropFiles(form.Label20, {pathText(workbook)}));
        QVERIFY(dropFiles(form.List2, {pathText(photo)}));
        perform(&form, {"choose Combo1 1", "choose Combo2 4", "choose Combo3 1", "choose Combo4 9", "click Check11", "choose Combo17 0"});
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
        // The choice reaches the run (the stored size itself is the engine's test's).
        QVERIFY(sheet["pictures"].toArray()[0].toObject()["width"].toInt() < 1600);
    }

private:
    Window window_;
};

QTEST_MAIN(PhotosTest)
#include "Photos_test.moc"
