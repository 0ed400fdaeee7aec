#include "BatchCommandLine.h"

#include <QGuiApplication>

#include <iostream>
#include <string>
#include <vector>

namespace {

// Standard error carries this program's own lines, which scripts read; Qt's notes about its
// environment (no runtime folder, no display) are not among them.
void onlySeriousQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::cerr << "tavorin-batch: " << message.toStdString() << '\n';
}

} // namespace

// tavorin-batch: the program's work from the command line, on the same libraries as the window.
int main(int argc, char* argv[])
{
    qInstallMessageHandler(onlySeriousQtMessages);
    // Qt's picture readers are plugins, found through the application object; its font database
    // (for fitting in LibreOffice's columns) needs a graphical one, which shows nothing here.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    std::vector<std::string> arguments(argv + 1, argv + argc);
    tavorin::batch::BatchCommandLine commandLine;
    return commandLine.run(arguments, std::cout, std::cerr);
}
