#include "app/Form1.h"
#include "app/MessageBoxSink.h"
#include "app/ProgramEnd.h"
#include "platform/InstanceLock.h"
#include "platform/SettingsLocation.h"
#include "platform/SystemRunningApplicationProbe.h"
#include "platform/AnyFormatApplication.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    // One program at a time: a second start ends at once, before anything is shown.
    tavorin::InstanceLock instanceLock;
    if (!instanceLock.acquire())
        return 0;

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavorin"));

    tavorin::MessageBoxSink messages;
    tavorin::SystemRunningApplicationProbe runningApplications;
    const tavorin::Form1Dependencies dependencies{
        messages, runningApplications, tavorin::settingsFilePath(), tavorin::endProgram,
        [] { return std::make_unique<tavorin::AnyFormatApplication>(); }};
    tavorin::Form1 form(dependencies);
    messages.setParentWindow(&form);
    form.show();
    return QApplication::exec();
}
