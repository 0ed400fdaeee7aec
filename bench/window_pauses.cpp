// How long the window goes unserved while "START" works: the longest gap between the ticks of a
// 5 ms timer on the window's thread, from the click until the run has given the window back.
// Two runs through the real window (offscreen): 999 photos of about 250 KB into ledger.xls on
// one sheet (the save writes and syncs 240 MB), and 40 photos of 12 megapixels reduced to
// 150 dpi (each decode takes tens of milliseconds on a core). Goal: no gap over 100 ms.
//
//   window_pauses [COUNT_SMALL] [COUNT_LARGE]

#include "app/Form1.h"
#include "app/MessageSink.h"
#include "platform/AnyFormatApplication.h"
#include "platform/SystemRunningApplicationProbe.h"
#include "support/BenchSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace tavorin;

namespace {

class KeptMessages final : public MessageSink {
public:
    void showMessage(const QString& text, const QString&) override { last = text; }
    QString last;
};

struct Pauses {
    double longest = 0; // milliseconds
    double total = 0;   // seconds from the click to the window given back
    int ticks = 0;
    QString message;
};

Pauses runThroughWindow(const QStringList& pictures, int dpi)
{
    QTemporaryDir folder;
    const QString workbook = QDir(folder.path()).filePath(QStringLiteral("ledger.xls"));
    QFile::copy(QStringLiteral(TAVORIN_FIXTURES_DIR "/workbooks/ledger.xls"), workbook);
    QFile::setPermissions(workbook, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    KeptMessages messages;
    SystemRunningApplicationProbe probe(std::filesystem::path(folder.path().toStdString()) / "processes", getuid());
    std::filesystem::create_directories(std::filesystem::path(folder.path().toStdString()) / "processes");
    Form1 form(Form1Dependencies{messages, probe, std::filesystem::path(folder.path().toStdString()) / "settings.dat",
                                 [] {}, [](FitFor fitFor) { return std::make_unique<AnyFormatApplication>(fitFor); }});
    form.show();
    QCoreApplication::processEvents();
    bench::dropFiles(form.Label20, {workbook});
    QCoreApplication::processEvents();
    bench::dropFiles(form.List2, pictures);
    QCoreApplication::processEvents();
    form.Check11->setChecked(dpi > 0);
    if (dpi > 0)
        form.Combo17->setCurrentIndex(form.Combo17->findText(QString::number(dpi)));

    Pauses pauses;
    QElapsedTimer clock;
    qint64 lastTick = 0;
    QTimer ticks;
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        pauses.longest = std::max(pauses.longest, double(now - lastTick) / 1e6);
        lastTick = now;
        ++pauses.ticks;
    });
    ticks.start(5);
    clock.start();
    form.Command1->click(); // returns when the run has given the window back
    const qint64 end = clock.nsecsElapsed();
    pauses.longest = std::max(pauses.longest, double(end - lastTick) / 1e6);
    pauses.total = double(end) / 1e9;
    pauses.message = messages.last;
    return pauses;
}

void report(const char* what, const Pauses& pauses)
{
    std::printf("%-44s run %.2f s, %d ticks, longest gap %.1f ms (goal <= 100 ms) %s\n", what, pauses.total,
                pauses.ticks, pauses.longest, pauses.longest <= 100 ? "met" : "NOT MET");
    std::printf("    the window said: %s\n", pauses.message.toUtf8().constData());
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int small = argc > 1 ? std::max(1, std::atoi(argv[1])) : 999;
    const int large = argc > 2 ? std::max(1, std::atoi(argv[2])) : 40;

    std::printf("making %d small and %d large photos (kept for later runs) ...\n", small, large);
    std::fflush(stdout);
    QStringList smallPhotos, largePhotos;
    for (const QString& path : bench::keptPhotos(QDir::temp().filePath(QStringLiteral("tavorin-bench-window-photos-small")), small))
        smallPhotos << path;
    for (const auto& path : bench::cameraPhotos(QDir::temp().filePath(QStringLiteral("tavorin-bench-photos-4000x3000-v2")).toStdString(), large))
        largePhotos << QString::fromStdString(path.string());

    const Pauses many = runThroughWindow(smallPhotos, 0);
    const Pauses reduced = runThroughWindow(largePhotos, 150);
    report(qPrintable(QStringLiteral("%1 photos of 250 KB, one sheet").arg(small)), many);
    report(qPrintable(QStringLiteral("%1 photos of 12 MP reduced to 150 dpi").arg(large)), reduced);
    return many.longest <= 100 && reduced.longest <= 100 ? 0 : 2;
}
