#include <QApplication>
#include <QLabel>

// Placeholder entry point until the main window lands.
int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QLabel label(QStringLiteral("   Tavorin"));
    label.show();
    return application.exec();
}
