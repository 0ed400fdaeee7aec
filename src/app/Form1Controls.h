#pragma once

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QWidget;

namespace tavorin {

class ShapeBox;

// Every control of the main window, under the name the rest of the program uses for it.
// Form1 owns the widgets (Qt parent/child); these are plain pointers to them.
struct Form1Controls {
    // The window's own controls.
    QGroupBox* Frame1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    QGroupBox* Frame3 = nullptr;
    QPushButton* Command2 = nullptr; // "Ｖｅｒ"
    QPushButton* Command3 = nullptr; // "ＥＮＤ"
    QLineEdit* TextA = nullptr;      // workbook path, hidden

    // Frame1: the picture side.
    QLabel* Label11 = nullptr;
    QLabel* Label15 = nullptr;
    QListWidget* List5 = nullptr;
    QListWidget* List2 = nullptr;
    QListWidget* List4 = nullptr;
    QListWidget* List3 = nullptr;
    QCheckBox* Check1 = nullptr;
    ShapeBox* Shape3 = nullptr;
    QLabel* Label16 = nullptr;
    QPushButton* LISTClear = nullptr;
    QLabel* DATACount = nullptr;
    QLabel* Label3 = nullptr;
    QCheckBox* Check3 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;

    // Frame3: the workbook side.
    QLabel* Label20 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* Command1 = nullptr; // "START"
    QListWidget* List1 = nullptr;
    ShapeBox* Shape4 = nullptr;
    QLabel* Label17 = nullptr;
    QCheckBox* Check4 = nullptr;
    QLineEdit* Text2 = nullptr;
    QFrame* Line11 = nullptr;
    QFrame* Line14 = nullptr;
    QFrame* Line15 = nullptr;

    // Frame4: the options kept beside the settings record.
    QGroupBox* Frame4 = nullptr;
    QLabel* Label36 = nullptr;
    QComboBox* Combo15 = nullptr; // the program the pictures are fitted for
    QCheckBox* Check10 = nullptr; // photos as viewers show them (EXIF orientation applied)
    QLabel* Label37 = nullptr;
    QComboBox* Combo16 = nullptr; // which date the date caption shows
    QCheckBox* Check11 = nullptr; // pictures reduced to Combo17's resolution when saved
    QComboBox* Combo17 = nullptr; // the resolution pictures are reduced to (dpi), usable while Check11 is on

    // Frame2: the option panel.
    QLabel* Label6 = nullptr;
    QLabel* Label5 = nullptr;
    QComboBox* Combo1 = nullptr;
    QComboBox* Combo2 = nullptr;
    QLabel* Label8 = nullptr;
    QComboBox* Combo3 = nullptr;
    QLabel* Label9 = nullptr;
    QComboBox* Combo4 = nullptr;
    ShapeBox* Shape2 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Label7 = nullptr;
    ShapeBox* Shape1 = nullptr;
    ShapeBox* Shape6 = nullptr;
    ShapeBox* Shape7 = nullptr;
    ShapeBox* Shape5 = nullptr;
    QCheckBox* Check2 = nullptr;
    QComboBox* Combo7 = nullptr;
    QLabel* Label18 = nullptr;
    QComboBox* Combo8 = nullptr;
    QLabel* Label19 = nullptr;
    QLabel* Label12 = nullptr;
    QComboBox* Combo13 = nullptr;
    QCheckBox* Check5 = nullptr;
    QLineEdit* Text3 = nullptr;
    QRadioButton* Option1 = nullptr;
    QRadioButton* Option2 = nullptr;
    QComboBox* Combo9 = nullptr;
    QLabel* Label23 = nullptr;
    QComboBox* Combo10 = nullptr;
    QLabel* Label24 = nullptr;
    QCheckBox* Check6 = nullptr;
    QCheckBox* Check9 = nullptr;
    QComboBox* Combo12 = nullptr;
    QLabel* Label26 = nullptr;
    QComboBox* Combo11 = nullptr;
    QLabel* Label25 = nullptr;
    QLabel* Label4 = nullptr;
    QComboBox* Combo5 = nullptr;
    QLabel* Label21 = nullptr;
    QLabel* Label10 = nullptr;
    QComboBox* Combo6 = nullptr;
    QLabel* Label22 = nullptr;
    QLabel* Label13 = nullptr;
    QLineEdit* Text1 = nullptr;
    QLabel* Label14 = nullptr;
    QLabel* Label35 = nullptr;
    QCheckBox* Check7 = nullptr;
    QLabel* Label30 = nullptr;
    QLabel* Label31 = nullptr;
    QLabel* Label32 = nullptr;
    QCheckBox* Check8 = nullptr;
    QLabel* Label27 = nullptr;
    QLabel* Label28 = nullptr;
    QLabel* Label29 = nullptr;
    QLabel* Label33 = nullptr;
    QComboBox* Combo14 = nullptr;
    QLabel* Label34 = nullptr;
};

} // namespace tavorin
