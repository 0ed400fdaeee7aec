#include "support/Form1Fixture.h"

#include <QFile>
#include <QTest>

#include <stdexcept>

namespace tavorin::test {

Form1Fixture::Form1Fixture() : settingsFile_(folder_ / "Tavorin" / "settings.dat") {}

Form1Fixture::~Form1Fixture() = default;

Form1& Form1Fixture::create()
{
    form_.reset();
    form_ = std::make_unique<Form1>(
        Form1Dependencies{messages, runningApplications, settingsFile_, [this] { ++endProgramCalls; }, createSpreadsheet});
    return *form_;
}

Form1& Form1Fixture::start()
{
    create();
    form_->show();
    form_->activateWindow();
    if (!QTest::qWaitForWindowActive(form_.get()))
        throw std::runtime_error("the main window did not become active");
    return *form_;
}

void Form1Fixture::writeSettingsBytes(const QByteArray& bytes) const
{
    std::filesystem::create_directories(settingsFile_.parent_path());
    QFile file(QString::fromStdString(settingsFile_.string()));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write the settings file");
}

QByteArray Form1Fixture::readSettingsBytes() const
{
    QFile file(QString::fromStdString(settingsFile_.string()));
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read the settings file");
    return file.readAll();
}

} // namespace tavorin::test
