#include "app/MessageBoxSink.h"

#include <QMessageBox>

namespace tavorin {

void MessageBoxSink::showMessage(const QString& text, const QString& title)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent_);
    box.exec();
}

} // namespace tavorin
