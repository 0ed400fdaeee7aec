#include "app/ProgramEnd.h"

#include <QApplication>

namespace tavorin {

void endProgram()
{
    QApplication::closeAllWindows();
    QApplication::quit();
}

} // namespace tavorin
