#pragma once
// The main window's editor: its state, its handlers, and the rules by which
// setting a field from code runs that field's handler, as typing or clicking
// does. It reaches the controls only through Form and shows dialogs only through
// UserDialogs, so it knows no toolkit.
//
// A front end builds the window, creates a MainScreen over it, runs Form_Load,
// shows the window, and then reports each user event through the calls under
// "What the user did".

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "editor/Form.h"
#include "editor/UserDialogs.h"
#include "screens/Controls.h"

class MainScreen {
public:
    MainScreen(Form& form, UserDialogs& dialogs);
    MainScreen(const MainScreen&) = delete;
    MainScreen& operator=(const MainScreen&) = delete;

    // --- Editor state, in declaration order. Flags are plain bools. ---
    std::int16_t ProbeLogicIndex = 0;
    std::int16_t FourthHomingIndex = 0;
    double NominalHz = 0.0;
    std::int16_t MachineIndex = 0;
    bool DigitalVfd = false;
    bool ProfileChanged = false;
    std::string ProfileXml;
    bool FileLoaded = false;

    // The open-file dialog's settings: title, file type, the folder it starts in.
    UserDialogs::OpenRequest XMLFileOpen;

    // The path the last successful open returned; the save writes there.
    const std::filesystem::path& openedProfilePath() const { return openedPath_; }

    // --- Start-up and panels ---
    void Form_Load();
    void EnableStuff(bool state);
    void Label15_Click();
    void ProbeLogicCombo_Click();
    void FourthHomingCombo_Click();

    // --- Machine choice ---
    void MachineType_Click();
    void SetVfdDisplay(bool digital);

    // --- Open, save, leave ---
    void OpenProfile_Click();
    bool SaveButt_Click();  // true when the file was written
    void DoneButt_Click();

    // --- Spindle calibration ---
    void ManVolts_Change();
    void AutoVolts_Change();
    void HzAt500_Change();

    // --- Jog step table ---
    void Step0_Change(std::int16_t index);
    void Step0_LostFocus(std::int16_t index);
    void SetDef_Click();
    void SetSmallInch_Click();
    void SetSmallMM_Click();

    // --- Help and information windows ---
    void HelpPort_Click();
    void HelpMeasButt_Click();
    void cmdProbeLogicInfo_Click();
    void cmdFourthAxisHomingInfo_Click();

    // --- The window's own event rules ---
    // Sets a text box's text and runs its change handler at once, exactly once,
    // also when the text is unchanged. Boxes without a handler just take the text.
    void SetText(Control box, std::string_view bytes);
    // Selects a list row and runs the list's click handler.
    void SetListIndex(Control list, int index);

    // --- What the user did, as each front end reports it ---
    // The user changed the text of a text box (one call per change: a keystroke,
    // a paste, a cut). The front end has already put the new text in place.
    void TextTyped(Control box);
    // A button or a label was clicked.
    void Clicked(Control control);
    // The user picked a row of a list (also the row already selected).
    void RowPicked(Control list);
    // The focus moved from this control to another control of the window.
    // Switching to another program, or a dialog taking the focus, is no such move.
    void FocusLeft(Control control);
    // The window manager's close command: leaving, as "Done" does.
    void CloseRequested();

private:
    Form& form_;
    UserDialogs& dialogs_;

    // The change handler of a text box and the click handler of a list, as
    // setting them from code and the user's own change both run them.
    void RunChangeHandler(Control box);
    void RunClickHandler(Control list);

    std::filesystem::path openedPath_;
    std::string openedBytes_;            // the file as last read or written, to notice outside changes
    std::filesystem::path lastFolder_;   // where the open dialog starts next time
    bool ending_ = false;                // the program is being ended: closing must not ask again

    // Opening and saving (OpenSave.cpp).
    bool LoadProfile(const std::filesystem::path& strName);
    bool AcceptProfile(const std::filesystem::path& strName, const std::string& strXML);
    bool WriteOpenedProfile();
    std::string KeptAfterOpen() const;
    bool probeEntryFound_ = false;   // the opened profile has a probe-logic entry
    bool homingEntryFound_ = false;  // the opened profile has a 4th-axis homing entry

    // Spindle calibration (Spindle.cpp).
    void RecalculateFromVolts();
    void ShowNewSteps(double steps);

    // The jog check (JogTable.cpp): each entry's text already reported, so one
    // text is reported once; and guards against nested checks while a message shows.
    std::array<std::string, 10> jogReported_;
    std::array<bool, 10> jogHasReport_{};
    bool jogMessageShowing_ = false;
    bool jogReformatting_ = false;
};
