// Opening and saving a large workbook with the native engine, against copying the same file.
//
//   open_save [WORKBOOK.xls] [--runs N]
//
// Without a workbook one of about 59 MB is made first (numbers and many different strings, from
// tests/fixtures/workbooks/plain.xls) in the temporary folder.
//
// What is measured, N times (default 5) because the machine may be busy with other work:
//   copy         reading the file, writing it to a new file and syncing that to disk;
//   open + save  WorkbookDocument::open and saveAs (which also syncs), in a child process so
//                that its peak memory (VmHWM) is its own;
//   edit + save  the same with one cell changed on each worksheet between open and save (which
//                reads those sheets' cells; open + save alone reads none).
// The medians are printed with the ratio to the copy's median and the goals: open + save in
// under 2 x the copy, peak memory under 2 x the file size + 50 MB. Edit + save is shown for
// what it costs to read and rewrite a sheet of a million cells; it has no goal.

#include "platform/xls/model/CellEditor.h"
#include "platform/xls/model/WorkbookDocument.h"
#include "support/BenchSupport.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace tavorin::xls;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

bool makeLargeWorkbook(const fs::path& path)
{
    auto document = WorkbookDocument::open(fs::path(TAVORIN_FIXTURES_DIR) / "workbooks/plain.xls");
    if (!document) {
        std::fprintf(stderr, "cannot open the template: %s\n", document.error().describe().c_str());
        return false;
    }
    auto& model = (*document)->model();
    CellEditor numbers(model, *model.sheets[0]);
    for (std::uint32_t row = 0; row < 65536; ++row)
        for (std::uint32_t column = 0; column < 16; ++column)
            if (!numbers.setNumber(row, column, row * 16.0 + column + 0.25))
                return false;
    // Strings of about 40 characters, all different, Japanese and Latin ones.
    CellEditor texts(model, *model.sheets[0]);
    for (std::uint32_t row = 0; row < 65536; ++row)
        for (std::uint32_t column = 16; column < 26; ++column) {
            std::u16string text = (column % 2 ? u"写真台帳の見出し 番号 " : u"caption text for picture number ") +
                                  std::u16string(u"0123456789").substr(0, 1 + column % 9);
            std::string digits = std::to_string(row * 26 + column);
            text.append(digits.begin(), digits.end());
            if (!texts.setText(row, column, text))
                return false;
        }
    auto saved = (*document)->saveAs(path);
    if (!saved) {
        std::fprintf(stderr, "cannot write the large workbook: %s\n", saved.error().describe().c_str());
        return false;
    }
    return true;
}

// In the child: open, (edit,) save to target, report the seconds and its peak memory on stdout.
int openAndSave(const fs::path& source, const fs::path& target, bool edit)
{
    auto start = Clock::now();
    auto document = WorkbookDocument::open(source);
    if (!document) {
        std::fprintf(stderr, "open: %s\n", document.error().describe().c_str());
        return 1;
    }
    double opened = secondsSince(start);
    if (edit) {
        auto& model = (*document)->model();
        for (auto& sheet : model.sheets) {
            if (!sheet->isWorksheet() || !sheet->structured)
                continue;
            CellEditor cells(model, *sheet);
            if (auto set = cells.setNumber(3, 2, 42.5); !set) {
                std::fprintf(stderr, "edit: %s\n", set.error().describe().c_str());
                return 1;
            }
        }
    }
    auto saved = (*document)->saveAs(target);
    if (!saved) {
        std::fprintf(stderr, "save: %s\n", saved.error().describe().c_str());
        return 1;
    }
    std::printf("%.3f %.3f %.1f\n", opened, secondsSince(start), tavorin::bench::peakMegabytes());
    return 0;
}

double copySeconds(const fs::path& source, const fs::path& target)
{
    auto start = Clock::now();
    std::ifstream in(source, std::ios::binary);
    int out = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char> buffer(1 << 20);
    while (in) {
        in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        auto count = static_cast<std::size_t>(in.gcount());
        if (count > 0 && ::write(out, buffer.data(), count) != static_cast<ssize_t>(count))
            break;
    }
    ::fsync(out);
    ::close(out);
    return secondsSince(start);
}

struct ChildRun {
    double opened = 0;
    double total = 0;
    double peakMegabytes = 0;
    double cpu = 0; // user + system seconds
};

double cpuSeconds(const rusage& usage)
{
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

std::optional<ChildRun> runChild(const char* self, const fs::path& workbook, const fs::path& saved, bool edit)
{
    fs::remove(saved);
    int pipe[2];
    if (::pipe(pipe) != 0)
        return std::nullopt;
    pid_t child = ::fork();
    if (child == 0) {
        ::dup2(pipe[1], STDOUT_FILENO);
        ::close(pipe[0]);
        ::execl("/proc/self/exe", self, edit ? "--child-edit" : "--child", workbook.c_str(), saved.c_str(),
                static_cast<char*>(nullptr));
        std::_Exit(127);
    }
    ::close(pipe[1]);
    char text[128] = {};
    auto got = ::read(pipe[0], text, sizeof text - 1);
    ::close(pipe[0]);
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    ChildRun run;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || got <= 0 ||
        std::sscanf(text, "%lf %lf %lf", &run.opened, &run.total, &run.peakMegabytes) != 3)
        return std::nullopt;
    run.cpu = cpuSeconds(usage);
    return run;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::string listed(const std::vector<double>& values)
{
    std::string text;
    for (double value : values) {
        char part[32];
        std::snprintf(part, sizeof part, "%s%.3f", text.empty() ? "" : " ", value);
        text += part;
    }
    return text;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && (std::string(argv[1]) == "--child" || std::string(argv[1]) == "--child-edit"))
        return openAndSave(argv[2], argv[3], std::string(argv[1]) == "--child-edit");

    int runs = 5;
    std::optional<fs::path> given;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--runs" && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else
            given = argv[i];
    }
    fs::path folder = fs::temp_directory_path() / "tavorin-bench-open-save";
    fs::create_directories(folder);
    fs::path workbook = given ? *given : folder / "large.xls";
    if (!given && !fs::exists(workbook)) {
        std::printf("making %s ...\n", workbook.c_str());
        if (!makeLargeWorkbook(workbook))
            return 1;
    }
    auto size = fs::file_size(workbook);
    fs::path saved = folder / "saved.xls";
    fs::path copied = folder / "copied.xls";

    // Warm the page cache so that every measurement reads from memory.
    copySeconds(workbook, copied);
    std::vector<double> copies, copyCpus, opens, saves, saveCpus, edits, peaks;
    for (int run = 0; run < runs; ++run) {
        rusage before{}, after{};
        ::getrusage(RUSAGE_SELF, &before);
        copies.push_back(copySeconds(workbook, copied));
        ::getrusage(RUSAGE_SELF, &after);
        copyCpus.push_back(cpuSeconds(after) - cpuSeconds(before));
        auto plain = runChild(argv[0], workbook, saved, false);
        auto edited = runChild(argv[0], workbook, saved, true);
        if (!plain || !edited) {
            std::fprintf(stderr, "open + save failed\n");
            return 1;
        }
        opens.push_back(plain->opened);
        saves.push_back(plain->total);
        saveCpus.push_back(plain->cpu);
        edits.push_back(edited->total);
        peaks.push_back(std::max(plain->peakMegabytes, edited->peakMegabytes));
    }
    double megabytes = static_cast<double>(size) / (1024.0 * 1024.0);
    double copy = median(copies);
    double total = median(saves);
    double editTotal = median(edits);
    double peak = *std::max_element(peaks.begin(), peaks.end());
    double memoryGoal = 2 * megabytes + 50;
    bool fastEnough = total < 2 * copy;
    std::printf("workbook            %s, %.1f MB; medians of %d runs (each run's figures in brackets)\n",
                workbook.c_str(), megabytes, runs);
    std::printf("copy                %.3f s  [%s]  read, write, sync\n", copy, listed(copies).c_str());
    std::printf("open                %.3f s  [%s]\n", median(opens), listed(opens).c_str());
    std::printf("open + save         %.3f s  [%s]  = %.1f x the copy (goal: under 2 x)\n", total,
                listed(saves).c_str(), total / copy);
    std::printf("edit + save         %.3f s  [%s]  = %.1f x the copy, one cell per sheet\n",
                editTotal, listed(edits).c_str(), editTotal / copy);
    std::printf("peak memory         %.1f MB (highest run; goal: under 2 x size + 50 MB = %.1f MB) %s\n", peak,
                memoryGoal, peak < memoryGoal ? "within" : "OVER");
    // Processor time does not grow when other work shares the machine (the sync's wait is not in it).
    std::printf("processor time      copy %.3f s, open + save %.3f s (medians, user + system)\n", median(copyCpus),
                median(saveCpus));
    std::printf("time goal           %s\n", fastEnough ? "met" : "not met");
    std::printf("saved file          %.1f MB\n", static_cast<double>(fs::file_size(saved)) / (1024.0 * 1024.0));
    fs::remove(copied);
    return peak < memoryGoal ? 0 : 2;
}
