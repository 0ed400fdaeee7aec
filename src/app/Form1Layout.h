#pragma once

class QWidget;

namespace tavorin {

struct Form1Controls;

// Creates every control of the main window on `form`, placed, coloured and named; the option
// lists stay empty (filled at start-up).
void buildForm1Controls(QWidget& form, Form1Controls& controls);

// The parts, in the order buildForm1Controls calls them.
void buildPictureFrame(QWidget& form, Form1Controls& controls);
void buildWorkbookFrame(QWidget& form, Form1Controls& controls);
void buildOptionPanel(QWidget& form, Form1Controls& controls);
void setForm1TabOrder(const Form1Controls& controls);

} // namespace tavorin
