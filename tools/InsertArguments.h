#pragma once

#include "run/RunOptions.h"

#include <optional>
#include <string>
#include <vector>

namespace tavorin::batch {

// The insert command's command line, turned into the run's options. Defaults are the window's
// first-start values; every value is checked and a wrong one is named in the error.
struct InsertArguments {
    RunOptions options;                  // workbook path, layout, captions, marks (sheet list not yet read)
    std::string sheet;                   // --sheet; empty: the first worksheet
    std::vector<std::string> pictures;   // in the order given
    std::vector<int> marks;              // --marks: degrees per picture, in order
    bool unique = false;                 // --unique
    bool sort = false;                   // --sort
    bool force = false;                  // --force
    std::string output;                  // --output
};

// Parses the arguments after "insert". On a usage error the result holds the message.
struct InsertParse {
    std::optional<InsertArguments> arguments;
    std::string error;
};
InsertParse parseInsertArguments(const std::vector<std::string>& arguments);

// Column letters "A" … "IV" (either case) as 1 … 256.
std::optional<int> columnFromLetters(const std::string& letters);

// The option summary for --help.
std::string insertOptionsHelp();

} // namespace tavorin::batch
