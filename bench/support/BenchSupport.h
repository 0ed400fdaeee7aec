#pragma once

// What the benchmark programs share: photo-like test pictures, the copy they are measured
// against, the run's options for a photo ledger, and the figures they print.

#include "run/RunObserver.h"
#include "run/RunOptions.h"

#include <QDir>
#include <QString>
#include <QStringList>

#include <atomic>
#include <filesystem>
#include <thread>
#include <vector>

class QWidget;

namespace tavorin::bench {

// A run that shows nothing.
class QuietObserver final : public RunObserver {
public:
    void showMessage(const QString&, const QString&) override {}
    void blankFieldsFilled(const QString&, const QString&) override {}
    void runStarted() override {}
    void progressChanged(float) override {}
    void runFinished() override {}
    void listSheetsAgain() override {}
};

// Photo-like pictures: smooth colour areas with grain, about 250 KB as JPEG, all different.
std::vector<QString> makePhotos(const QDir& folder, int count);
// The same, kept: those folder holds when it holds count of them, else made there.
std::vector<QString> keptPhotos(const QDir& folder, int count);
// Camera photos of 12 megapixels (4000 x 3000, about 3.5 MB as JPEG), a different mark on each;
// made on every core and only when missing, so that a folder in the temporary folder serves
// later runs.
std::vector<std::filesystem::path> cameraPhotos(const std::filesystem::path& folder, int count);

unsigned cores();
// Runs work(i) for i in [0, count) on every core.
template <typename Work>
void onEveryCore(std::size_t count, Work work)
{
    std::atomic<std::size_t> next{0};
    std::vector<std::jthread> threads;
    for (unsigned t = 0; t < cores(); ++t)
        threads.emplace_back([&] {
            for (std::size_t i; (i = next++) < count;)
                work(i);
        });
}

// Drops files on a widget as a file manager does (drag enter, move, drop).
void dropFiles(QWidget* target, const QStringList& paths);

// Reads every picture and writes their bytes into one file, synced: what saving them costs at
// least. Seconds elapsed.
double copySeconds(const std::vector<QString>& pictures, const QString& target);

// A photo ledger's run: blocks B3:E18 two rows apart, three captions each (date, number, name),
// perSheet pictures on each copy named 写真(n) (0: all on the first sheet).
RunOptions ledgerOptions(const QString& workbook, const QStringList& sheets, const std::vector<QString>& pictures,
                         int perSheet);

double median(std::vector<double> values);
// Processor time (user + system) of this process so far: unlike the elapsed time it hardly
// depends on what else a shared machine is doing.
double processorSeconds();
// The part of it spent in the kernel (system calls, page cache).
double systemSeconds();
// The highest resident size of this process image (VmHWM). Not ru_maxrss: Linux carries a
// parent's peak over exec into it.
double peakMegabytes();

} // namespace tavorin::bench
