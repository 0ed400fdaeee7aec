#pragma once

#include <QString>
#include <QStringList>

namespace tavorin::test {

// What a finished helper program (an oracle script, the command-line front end) gave back.
struct ProcessResult {
    int exitCode = -1;
    bool finished = false;  // false: could not start, crashed, or timed out
    QString standardOutput;
    QString standardError;
};

// Runs a program to its end (at most timeoutMs) and collects its output as UTF-8.
ProcessResult runProcess(const QString& program, const QStringList& arguments, int timeoutMs = 120000);

// Runs one of the oracle scripts in tests/oracles with Debian's Python.
ProcessResult runOracle(const QString& script, const QStringList& arguments, int timeoutMs = 180000);

} // namespace tavorin::test
