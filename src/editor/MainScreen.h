#pragma once
// The main window: its state, its handlers, and the rules by which setting a
// field from code runs that field's handler, as typing or clicking does.

#include <QString>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>

#include "editor/UserDialogs.h"

class QCloseEvent;
class QComboBox;
class QLineEdit;

namespace Ui {
class MainScreen;
}

class MainScreen : public QWidget {
    Q_OBJECT

public:
    explicit MainScreen(UserDialogs& dialogs, QWidget* parent = nullptr);
    ~MainScreen() override;

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
    QString openedProfilePath() const { return openedPath_; }

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
    // Sets a text box's text and runs its change handler, also when the text is
    // unchanged. Boxes without a handler just take the text.
    void SetText(QLineEdit* box, const QString& text);
    // Selects a list row and runs the list's click handler.
    void SetListIndex(QComboBox* list, int index);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Reads strName into ProfileXml and clears ProfileChanged; false when it could not.
    bool LoadProfile(const QString& strName);

    void connectHandlers();

    UserDialogs& dialogs_;
    std::unique_ptr<Ui::MainScreen> ui;
    std::array<QLineEdit*, 10> Step0{};
    std::unordered_map<const QObject*, std::function<void()>> changeHandlers_;
    std::unordered_map<const QObject*, std::function<void()>> clickHandlers_;
    QString openedPath_;
    std::string openedBytes_;  // the file as last read or written, to notice outside changes
    QString lastFolder_;       // where the open dialog starts next time
    bool ending_ = false;      // the program is being ended: closing must not ask again

    // Opening and saving (OpenSave.cpp).
    bool AcceptProfile(const QString& strName, const std::string& strXML);
    bool WriteOpenedProfile();
    QString KeptAfterOpen() const;
    bool probeEntryFound_ = false;   // the opened profile has a probe-logic entry
    bool homingEntryFound_ = false;  // the opened profile has a 4th-axis homing entry

    // Spindle calibration (Spindle.cpp): the volts formula shared by both
    // voltage fields, and showing a recalculated result.
    void RecalculateFromVolts();
    void ShowNewSteps(double steps);

    // The jog check (JogTable.cpp): each entry's text already reported, so one
    // text is reported once; and guards against nested checks while a message shows.
    std::array<QString, 10> jogReported_;
    bool jogMessageShowing_ = false;
    bool jogReformatting_ = false;
};
