#include "support/Window.h"

#include "platform/xls/XlsApplication.h"
#include "support/Files.h"

#include <QTest>

#include <unistd.h>

#include <stdexcept>

namespace tavorin::test {

Window::Window()
    : settingsFile_(folder_ / "config" / "settings.dat"), runningApplications_(folder_ / "processes", getuid())
{
    std::filesystem::create_directories(folder_ / "processes");
}

Form1& Window::start()
{
    form_.reset();
    form_ = std::make_unique<Form1>(Form1Dependencies{*this, runningApplications_, settingsFile_,
                                                      [this] { ++endProgramCalls; },
                                                      [] { return std::make_unique<xls::XlsApplication>(); }});
    form_->show();
    form_->activateWindow();
    if (!QTest::qWaitForWindowActive(form_.get()))
        throw std::runtime_error("the main window did not become active");
    return *form_;
}

void Window::writeSettings(const QByteArray& bytes) const
{
    std::filesystem::create_directories(settingsFile_.parent_path());
    writeFile(settingsFile_, Bytes(bytes.begin(), bytes.end()));
}

QByteArray Window::readSettings() const
{
    const Bytes bytes = fileBytes(settingsFile_);
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

} // namespace tavorin::test
