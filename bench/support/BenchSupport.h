#pragma once

// What the benchmark programs share: photo-like test pictures, the copy they are measured
// against, the run's options for a photo ledger, and the figures they print.

#include "run/RunObserver.h"
#include "run/RunOptions.h"

#include <QDir>
#include <QString>
#include <QStringList>

#include <vector>

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
double peakMegabytes();

} // namespace tavorin::bench
