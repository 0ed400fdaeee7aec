// Times the two picture-side actions that touch many bytes or many rows:
//   preview  selecting a row whose picture is a 6000 x 4000 JPEG (24 megapixels) until it shows;
//   drop     a drop of 999 picture files on the empty name list with Check1 and Check3 on
//            (duplicate test against every row, exchange sort of all rows, four lists filled).
// Goals on the two-core build machine: preview < 80 ms, drop < 150 ms.
// The machine is shared, so each figure is given twice: wall-clock time, and the processor time
// of the window's thread (what the action costs when it has a core to itself).
// Usage: preview_and_drop [JPEG]   (a JPEG of your own instead of the generated one)
#include "app/MessageSink.h"
#include "app/Twips.h"
#include "lists/PictureTable.h"
#include "support/BenchSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFrame>
#include <QImage>
#include <QImageWriter>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

using namespace tavorin;

namespace {

double threadMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

class CountingSink : public MessageSink {
  public:
    void showMessage(const QString&, const QString&) override { ++count; }
    int count = 0;
};

struct PictureControls {
    QWidget form;
    PictureTableWidgets widgets;

    PictureControls()
    {
        form.resize(twipsToPixels(8895), twipsToPixels(8130));
        auto* frame1 = new QFrame(&form);
        frame1->setGeometry(twipsRect(80, 120, 4170, 4530));
        auto* frame2 = new QFrame(&form);
        frame2->setGeometry(twipsRect(4320, 120, 4530, 7965));
        auto list = [frame1](QRect place) {
            auto* l = new QListWidget(frame1);
            l->setGeometry(place);
            return l;
        };
        widgets.List5 = list(twipsRect(90, 600, 915, 2535));
        widgets.List2 = list(twipsRect(615, 600, 3240, 2535));
        widgets.List4 = list(twipsRect(3480, 600, 555, 2535));
        widgets.List3 = list(twipsRect(120, 7080, 3315, 1320));
        widgets.List3->hide();
        widgets.Check1 = new QCheckBox(frame1);
        widgets.Check3 = new QCheckBox(frame1);
        widgets.LISTClear = new QPushButton(frame1);
        widgets.DATACount = new QLabel(frame1);
        widgets.Image1 = new QLabel(frame2);
        widgets.Image1->setGeometry(twipsRect(1365, 1140, 2450, 1840));
        widgets.Label7 = new QLabel(frame2);
    }
};

// A photograph-like 6000 x 4000 JPEG: gradients with grain, about 4 MB at quality 90, the size
// of a camera's 24-megapixel picture of an ordinary scene.
QString writeLargeJpeg(const QString& folder, const QString& name)
{
    QImage image(6000, 4000, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int noise = int(random.bounded(16u));
            line[x] = qRgb((x / 24 + noise) & 0xFF, (y / 16 + noise) & 0xFF, ((x + y) / 40 + noise) & 0xFF);
        }
    }
    const QString path = folder + QLatin1Char('/') + name;
    QImageWriter writer(path, "jpeg");
    writer.setQuality(90);
    if (!writer.write(image))
        qFatal("cannot write %s: %s", qPrintable(path), qPrintable(writer.errorString()));
    return path;
}

struct Figures {
    double median = 0;
    double worst = 0;
    double processorMedian = 0;
};

struct Stopwatch {
    std::vector<double> wall;
    std::vector<double> processor;
    QElapsedTimer timer;
    double processorStart = 0;

    void start()
    {
        processorStart = threadMilliseconds();
        timer.start();
    }
    void stop()
    {
        wall.push_back(double(timer.nsecsElapsed()) / 1e6);
        processor.push_back(threadMilliseconds() - processorStart);
    }
    Figures figures()
    {
        std::sort(wall.begin(), wall.end());
        std::sort(processor.begin(), processor.end());
        return {wall[wall.size() / 2], wall.back(), processor[processor.size() / 2]};
    }
};

Figures timePreview(PictureControls& controls, const QString& folder, const QString& ownJpeg)
{
    QString picture = ownJpeg;
    if (picture.isEmpty()) {
        std::fprintf(stderr, "writing a 6000 x 4000 JPEG ...\n");
        picture = writeLargeJpeg(folder, QStringLiteral("large.jpg"));
    }
    std::printf("picture: %s, %lld bytes\n", qPrintable(QFileInfo(picture).fileName()),
                static_cast<long long>(QFileInfo(picture).size()));
    // The same file twice, so that every selection loads it afresh.
    bench::dropFiles(controls.widgets.List2, {picture, picture});
    QCoreApplication::processEvents();

    Stopwatch stopwatch;
    for (int run = 0; run < 12; ++run) {
        stopwatch.start();
        controls.widgets.List2->setCurrentRow(run % 2); // what a click on the row sets off
        stopwatch.stop();
        if (controls.widgets.Image1->isHidden() || controls.widgets.Image1->pixmap().isNull())
            qFatal("the preview did not show the picture");
    }
    return stopwatch.figures();
}

Figures timeDrop(PictureControls& controls, CountingSink& messages)
{
    controls.widgets.Check1->setChecked(true);
    controls.widgets.Check3->setChecked(true);
    // Names in a shuffled order so that the sort has work to do.
    std::vector<int> numbers(999);
    for (int i = 0; i < 999; ++i)
        numbers[std::size_t(i)] = i;
    std::shuffle(numbers.begin(), numbers.end(), *QRandomGenerator::global());
    QStringList paths;
    for (int number : numbers)
        paths.append(QStringLiteral("/home/user/Pictures/2026-12 site visit/IMG_%1.JPG").arg(number, 4, 10, QLatin1Char('0')));

    Stopwatch stopwatch;
    for (int run = 0; run < 7; ++run) {
        controls.widgets.LISTClear->click();
        QCoreApplication::processEvents();
        stopwatch.start();
        bench::dropFiles(controls.widgets.List2, paths);
        stopwatch.stop();
        if (controls.widgets.List2->count() != 999 || messages.count != 0)
            qFatal("the drop did not list the 999 pictures");
        if (controls.widgets.List2->item(0)->text() != QStringLiteral(" IMG_0000.JPG"))
            qFatal("the drop did not sort the pictures");
    }
    return stopwatch.figures();
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTemporaryDir folder;
    if (!folder.isValid())
        qFatal("no temporary folder");

    CountingSink messages;
    PictureControls controls;
    auto* table = new PictureTable(controls.widgets, messages, &controls.form);
    Q_UNUSED(table);
    controls.form.show();
    QCoreApplication::processEvents();

    const QString ownJpeg = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const Figures preview = timePreview(controls, folder.path(), ownJpeg);
    controls.widgets.LISTClear->click();
    const Figures dropped = timeDrop(controls, messages);
    std::printf(
        "preview of a 6000x4000 JPEG  wall median %6.1f ms, worst %6.1f ms; thread CPU median %6.1f ms"
        "  (goal < 80 ms)\n",
        preview.median, preview.worst, preview.processorMedian);
    std::printf(
        "drop of 999 files, Check1+3  wall median %6.1f ms, worst %6.1f ms; thread CPU median %6.1f ms"
        "  (goal < 150 ms)\n",
        dropped.median, dropped.worst, dropped.processorMedian);
    return 0;
}
