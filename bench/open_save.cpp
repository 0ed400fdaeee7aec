// Opening and saving a large workbook with the native engine, against copying the same file.
//
//   open_save [WORKBOOK.xls]
//
// Without an argument a workbook of about 50 MB is made first (numbers and many different
// strings over several sheets, from tests/fixtures/workbooks/plain.xls) in the temporary folder.
// The open + save runs in a child process so that its peak memory (ru_maxrss) is its own; it is
// compared with the goal of twice the file size plus 50 MB, and its time with the time to copy
// the file (read, write, sync).

#include "platform/xls/CellEditor.h"
#include "platform/xls/WorkbookDocument.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
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

// In the child: open, save to target, report the seconds on stdout.
int openAndSave(const fs::path& source, const fs::path& target)
{
    auto start = Clock::now();
    auto document = WorkbookDocument::open(source);
    if (!document) {
        std::fprintf(stderr, "open: %s\n", document.error().describe().c_str());
        return 1;
    }
    double opened = secondsSince(start);
    auto saved = (*document)->saveAs(target);
    if (!saved) {
        std::fprintf(stderr, "save: %s\n", saved.error().describe().c_str());
        return 1;
    }
    std::printf("%.3f %.3f\n", opened, secondsSince(start));
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

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::string(argv[1]) == "--child")
        return openAndSave(argv[2], argv[3]);

    fs::path folder = fs::temp_directory_path() / "tavorin-bench-open-save";
    fs::create_directories(folder);
    fs::path workbook = argc > 1 ? fs::path(argv[1]) : folder / "large.xls";
    if (argc <= 1 && !fs::exists(workbook)) {
        std::printf("making %s ...\n", workbook.c_str());
        if (!makeLargeWorkbook(workbook))
            return 1;
    }
    auto size = fs::file_size(workbook);
    fs::path saved = folder / "saved.xls";
    fs::path copied = folder / "copied.xls";
    fs::remove(saved);

    // Warm the page cache so that both measurements read from memory.
    copySeconds(workbook, copied);
    double copy = copySeconds(workbook, copied);

    int pipe[2];
    if (::pipe(pipe) != 0)
        return 1;
    pid_t child = ::fork();
    if (child == 0) {
        ::dup2(pipe[1], STDOUT_FILENO);
        ::close(pipe[0]);
        ::execl("/proc/self/exe", argv[0], "--child", workbook.c_str(), saved.c_str(), static_cast<char*>(nullptr));
        std::_Exit(127);
    }
    ::close(pipe[1]);
    char text[128] = {};
    auto got = ::read(pipe[0], text, sizeof text - 1);
    ::close(pipe[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    double opened = 0, total = 0;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || got <= 0 || std::sscanf(text, "%lf %lf", &opened, &total) != 2) {
        std::fprintf(stderr, "open + save failed\n");
        return 1;
    }
    double megabytes = static_cast<double>(size) / (1024.0 * 1024.0);
    double peak = static_cast<double>(usage.ru_maxrss) / 1024.0;
    double goal = 2 * megabytes + 50;
    std::printf("workbook            %s, %.1f MB\n", workbook.c_str(), megabytes);
    std::printf("copy                %.3f s\n", copy);
    std::printf("open                %.3f s\n", opened);
    std::printf("open + save         %.3f s (%.1f x the copy)\n", total, total / copy);
    std::printf("peak memory         %.1f MB (goal: 2 x size + 50 MB = %.1f MB) %s\n", peak, goal,
                peak <= goal ? "within" : "OVER");
    std::printf("saved file          %.1f MB\n", static_cast<double>(fs::file_size(saved)) / (1024.0 * 1024.0));
    fs::remove(copied);
    return peak <= goal ? 0 : 2;
}
