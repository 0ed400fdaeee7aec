#pragma once

#include "app/Form1Controls.h"
#include "app/Form1Dependencies.h"
#include "app/frmAbout.h"

#include <QPointer>
#include <QWidget>

namespace tavorin {

class OptionRules;
class PictureTable;
class RunController;
class WorkbookSelection;

// The program's one working window. Its controls are public under their own names
// (form.Combo6, form.List2 …); the option controls are the option model that the rest of the
// program reads directly.
class Form1 : public QWidget, public Form1Controls {
    Q_OBJECT
public:
    explicit Form1(const Form1Dependencies& dependencies, QWidget* parent = nullptr);
    ~Form1() override;

    PictureTable* pictureTable() const { return pictureTable_; }
    WorkbookSelection* workbookSelection() const { return workbookSelection_; }
    OptionRules* optionRules() const { return optionRules_; }
    RunController* runController() const { return runController_; }
    // The About window while it is open, else null.
    frmAbout* aboutWindow() const { return about_; }

    // "Ｖｅｒ": opens the About window, or brings the open one to the front.
    void Command2_Click();
    // "ＥＮＤ": stores the option values, then ends the program.
    void Command3_Click();

private:
    void setUpWindow();
    void connectButtons();

    Form1Dependencies dependencies_;
    PictureTable* pictureTable_ = nullptr;
    WorkbookSelection* workbookSelection_ = nullptr;
    OptionRules* optionRules_ = nullptr;
    RunController* runController_ = nullptr;
    QPointer<frmAbout> about_;
};

} // namespace tavorin
