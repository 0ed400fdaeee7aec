#include "BatchCommandLine.h"

#include <QCoreApplication>

#include <iostream>
#include <string>
#include <vector>

// tavorin-batch: the program's work from the command line, on the same libraries as the window.
int main(int argc, char* argv[])
{
    // Qt's picture readers are plugins, found through the application object.
    QCoreApplication application(argc, argv);
    std::vector<std::string> arguments(argv + 1, argv + argc);
    tavorin::batch::BatchCommandLine commandLine;
    return commandLine.run(arguments, std::cout, std::cerr);
}
