#pragma once

#include "platform/ExtraOptions.h"
#include "platform/SettingsRecord.h"

#include <filesystem>

namespace tavorin {

struct Form1Controls;
class OptionRules;

// Start-up of the main window, after its controls exist and the option rules are connected:
// reads the settings record (a missing file is created, an unreadable one gives the first-start
// values), fills the option lists and puts the stored values into the controls, each change
// setting off its rules, then applies the corrections and the group rules; last the options
// kept beside the record.
void runStartUp(Form1Controls& controls, OptionRules& rules, const std::filesystem::path& settingsFile);

// The fixed item lists of the combo boxes; every combo box is left without a selection.
void fillOptionLists(Form1Controls& controls);

// Puts the record's values into the controls through the controls themselves.
void applyStoredOptions(Form1Controls& controls, OptionRules& rules, const SettingsRecord& record);

// The record "ＥＮＤ" stores: the controls' current values. An empty first number field is
// set to "1"; a first number that is no whole number from -32768 to 32767 is stored as 1.
SettingsRecord storedOptions(Form1Controls& controls);

// The options kept beside the record: put into their controls, and read back for "ＥＮＤ".
void applyExtraOptions(Form1Controls& controls, const ExtraOptions& options);
ExtraOptions storedExtraOptions(const Form1Controls& controls);
// The resolution pictures are reduced to, 0 while 画像を縮小 is off.
int pictureDpiChosen(const Form1Controls& controls);

} // namespace tavorin
