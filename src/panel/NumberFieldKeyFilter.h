#pragma once

#include <QObject>

namespace tavorin {

// Installed on the magnification and first-number fields: typed characters are limited to the
// digits and Backspace, and a "0" is refused while the field is empty. Keys that type nothing
// (arrows, Delete, Home …) pass as usual.
class NumberFieldKeyFilter : public QObject {
public:
    explicit NumberFieldKeyFilter(QObject* parent) : QObject(parent) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace tavorin
