#include "support/ProcessResult.h"

#include <QProcess>

namespace tavorin::test {

ProcessResult runProcess(const QString& program, const QStringList& arguments, int timeoutMs)
{
    QProcess process;
    process.start(program, arguments);
    ProcessResult result;
    if (!process.waitForStarted(timeoutMs))
        return result;
    process.closeWriteChannel();
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.finished = process.exitStatus() == QProcess::NormalExit;
    result.exitCode = process.exitCode();
    result.standardOutput = QString::fromUtf8(process.readAllStandardOutput());
    result.standardError = QString::fromUtf8(process.readAllStandardError());
    return result;
}

ProcessResult runOracle(const QString& script, const QStringList& arguments, int timeoutMs)
{
    QStringList all{QStringLiteral(TAVORIN_ORACLES_DIR "/") + script};
    all += arguments;
    return runProcess(QStringLiteral(TAVORIN_SYSTEM_PYTHON), all, timeoutMs);
}

} // namespace tavorin::test
