#include "app/CommandLineFiles.h"
#include "app/Form1.h"
#include "app/MessageBoxSink.h"
#include "app/ProgramEnd.h"
#include "platform/InstanceLock.h"
#include "platform/SettingsLocation.h"
#include "platform/SystemRunningApplicationProbe.h"
#include "platform/AnyFormatApplication.h"

#include <QApplication>
#include <QDir>
#include <QTimer>

int main(int argc, char* argv[])
{
    // One program at a time: a second start ends at once, before anything is shown.
    tavorin::InstanceLock instanceLock;
    if (!instanceLock.acquire())
        return 0;

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavorin"));
    // Desktops match the window to its menu entry (and icon) by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.tavorin.Tavorin"));

    tavorin::MessageBoxSink messages;
    tavorin::SystemRunningApplicationProbe runningApplications;
    const tavorin::Form1Dependencies dependencies{
        messages, runningApplications, tavorin::settingsFilePath(), tavorin::endProgram,
        [](tavorin::FitFor fitFor) { return std::make_unique<tavorin::AnyFormatApplication>(fitFor); }};
    tavorin::Form1 form(dependencies);
    messages.setParentWindow(&form);
    form.show();
    // Files opened with Tavorin from a file manager arrive as drops once the window is up, so
    // that any message about them shows over it.
    const tavorin::CommandLineFiles startFiles(QApplication::arguments().mid(1), QDir::current());
    QTimer::singleShot(0, &form, [&] { startFiles.dropOn(form); });
    return QApplication::exec();
}
