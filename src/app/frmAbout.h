#pragma once

#include <QWidget>

class QFrame;
class QLabel;
class QPushButton;

namespace tavorin {

// The About window: the program's icon, title and version. Modeless; it is destroyed when it
// closes and filled anew each time it is created.
class frmAbout : public QWidget {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);

    QLabel* picIcon = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QPushButton* cmdOK = nullptr;

private:
    void buildControls();
    void fill();
};

// "Ver " and the program's version as major.minor.revision, e.g. "Ver 1.0.0".
QString versionText();

} // namespace tavorin
