#include "app/Form1.h"
#include "app/MessageBoxSink.h"
#include "platform/InstanceLock.h"
#include "platform/SettingsLocation.h"
#include "platform/SystemRunningApplicationProbe.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavorin"));

    // One program at a time: a second start ends at once, showing nothing.
    tavorin::InstanceLock instanceLock;
    if (!instanceLock.acquire())
        return 0;

    tavorin::MessageBoxSink messages;
    tavorin::SystemRunningApplicationProbe runningApplications;
    const tavorin::Form1Dependencies dependencies{
        messages, runningApplications, tavorin::settingsFilePath(), [] {
            QApplication::closeAllWindows();
            QApplication::quit();
        }};
    tavorin::Form1 form(dependencies);
    messages.setParentWindow(&form);
    form.show();
    return QApplication::exec();
}
