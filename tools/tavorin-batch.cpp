#include "BatchCommandLine.h"

#include <QGuiApplication>

#include <iostream>
#include <string>
#include <vector>

// tavorin-batch: the program's work from the command line, on the same libraries as the window.
int main(int argc, char* argv[])
{
    // Qt's picture readers are plugins, found through the application object; its font database
    // (for fitting in LibreOffice's columns) needs a graphical one, which shows nothing here.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    std::vector<std::string> arguments(argv + 1, argv + argc);
    tavorin::batch::BatchCommandLine commandLine;
    return commandLine.run(arguments, std::cout, std::cerr);
}
