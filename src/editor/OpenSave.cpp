// Opening a profile, saving it, and leaving the program.

#include <array>
#include <cmath>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

#include "editor/MainScreen.h"
#include "profile/FileAccess.h"
#include "profile/NumberRules.h"
#include "profile/ProfileEntries.h"
#include "profile/TextStore.h"

namespace {

namespace fs = std::filesystem;
using Button = UserDialogs::Button;
using Icon = UserDialogs::Icon;
namespace entries = profile::entries;

// The folder the open dialog starts in when no profile was chosen before.
constexpr const char* kInitialFolder = "C:\\Ombrel3";

UserDialogs::Message Notice(std::string text, std::string title) {
    return {std::move(text), std::move(title), Icon::Warning, {Button::Ok}, Button::Ok};
}

std::string PathText(const fs::path& path) { return profile::files::PathText(path); }

// A reason from the file operations, with the path in it.
std::string ReasonWithPath(const std::string& reason, const fs::path& path) {
    const std::string shown = PathText(path);
    return reason.find(shown) != std::string::npos ? reason : shown + ": " + reason;
}

bool Contains(const std::string& text, std::string_view key) { return text.find(key) != std::string::npos; }

// A list entry's stored value: exactly -1, 0 or 1, as a number ("1", " 1 ", "1.0").
std::optional<std::int16_t> ListIndex(std::string_view stored) {
    const std::optional<std::int16_t> index = profile::IntegerFromText(stored);
    if (!index || *index < -1 || *index > 1) return std::nullopt;
    if (profile::ParseLeadingNumber(stored) != static_cast<double>(*index)) return std::nullopt;
    return index;
}

// Every entry the editor reads; a file holding none of them is no profile of the machine.
bool HasAnyHandledEntry(const std::string& text) {
    for (const auto* entry : {&entries::Port, &entries::Steps, &entries::PulseWidth, &entries::XmlRevision,
                              &entries::ProbeLogic, &entries::FourthHoming})
        if (Contains(text, entry->openKey)) return true;
    for (const auto& jog : entries::Jog)
        if (Contains(text, jog.openKey)) return true;
    return false;
}

std::string Lowered(std::string_view text) {
    std::string lowered(text);
    for (char& c : lowered)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lowered;
}

}  // namespace

// ---------------------------------------------------------------------------
// Opening

std::string MainScreen::KeptAfterOpen() const {
    if (!FileLoaded) return "Nothing was opened.";
    return "Nothing was opened; " + PathText(openedPath_) + " is still open as before.";
}

// Checks a profile that has been read, before anything in the window changes.
bool MainScreen::AcceptProfile(const fs::path& strName, const std::string& strXML) {
    const auto refuse = [&](const std::string& why) {
        dialogs_.showMessage(
            Notice("The file " + PathText(strName) + " cannot be opened: " + why + "\n\n" + KeptAfterOpen(),
                   "Not opened"));
        return false;
    };
    // A stored value as a message shows it: control characters as "?", and cut short.
    const auto shown = [this](std::string_view value) {
        constexpr std::size_t kLongest = 40;
        std::string bytes(value.substr(0, kLongest));
        for (char& c : bytes)
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
        std::string text = form_.BytesAsUtf8(bytes);
        if (value.size() > kLongest) text += "...";
        return text;
    };

    if (!HasAnyHandledEntry(strXML))
        return refuse("it holds none of the settings this program edits, so it is not a machine profile.");

    const std::string port = profile::LoadTag(strXML, entries::Port.openKey);
    if (!profile::PortFieldText(port))
        return refuse("its entry " + std::string(entries::Port.openKey) + " holds \"" + shown(port) +
                      "\", which is no port address.");

    const std::string steps = profile::LoadTag(strXML, entries::Steps.openKey);
    if (!std::isfinite(profile::ParseLeadingNumber(steps)))
        return refuse("its entry " + std::string(entries::Steps.openKey) + " holds \"" + shown(steps) +
                      "\", which is too large a number.");

    for (const auto* entry : {&entries::ProbeLogic, &entries::FourthHoming}) {
        if (!Contains(strXML, entry->openKey)) continue;  // no such entry: its list stays unselected
        const std::string value = profile::LoadTag(strXML, entry->openKey);
        if (!ListIndex(value))
            return refuse("its entry " + std::string(entry->openKey) + " (" + Lowered(entry->name) + ") holds \"" +
                          shown(value) + "\", and only -1, 0 or 1 are valid there.");
    }
    return true;
}

bool MainScreen::LoadProfile(const fs::path& strName) {
    std::string text;
    const profile::FileResult read = profile::LoadProfile(strName, text);
    if (!read) {
        dialogs_.showMessage(Notice("The file could not be read.\n" + ReasonWithPath(read.reason, strName) + "\n\n" +
                                        KeptAfterOpen(),
                                    "Not opened"));
        return false;
    }
    if (!AcceptProfile(strName, text)) return false;
    ProfileXml = std::move(text);
    openedBytes_ = ProfileXml;
    ProfileChanged = false;
    return true;
}

void MainScreen::OpenProfile_Click() {
    if (ProfileChanged && FileLoaded) {
        const Button answer = dialogs_.showMessage(
            {std::string("Profile has been changed. ") + "Do you want chance to Save As before Opening a new one?",
             "OK to Open another?", Icon::Question, {Button::Yes, Button::No}, Button::Yes});
        if (answer != Button::No) return;
    }

    const fs::path startIn = lastFolder_.empty() ? fs::path(kInitialFolder) : lastFolder_;
    XMLFileOpen = {"Open Profile", "Profiles ", "*.xml", startIn};
    const std::optional<fs::path> chosen = dialogs_.chooseProfile(XMLFileOpen);
    if (!chosen) return;
    std::error_code ec;
    const fs::path full = fs::absolute(*chosen, ec);
    lastFolder_ = (ec ? *chosen : full).parent_path();

    // Reads the file and checks every entry the open converts; a profile that
    // fails leaves the window, its state and the save target as they were.
    if (!LoadProfile(*chosen)) return;

    openedPath_ = *chosen;
    form_.PutPath(Control::txtOpenedFile, openedPath_);  // the box has no change handler
    FileLoaded = true;

    for (int k = 0; k < 10; ++k) SetText(Step0(k), profile::NumberText(static_cast<double>(k) / 1000));
    for (int k = 0; k < 10; ++k)
        SetText(Step0(k), profile::LoadTag(ProfileXml, entries::Jog[static_cast<std::size_t>(k)].openKey));
    Step0_LostFocus(-1);

    SetText(Control::PulseMagic, profile::LoadTag(ProfileXml, entries::PulseWidth.openKey));
    SetText(Control::XMLRev, profile::LoadTag(ProfileXml, entries::XmlRevision.openKey));

    const std::string port = profile::PortFieldText(profile::LoadTag(ProfileXml, entries::Port.openKey)).value_or("0");
    const std::string steps = profile::LoadTag(ProfileXml, entries::Steps.openKey);
    SetText(Control::PortAdd, port);
    SetText(Control::SpinVel, profile::StepsFieldText(steps));

    SetText(Control::ManVolts, profile::NumberText(5));
    SetText(Control::AutoVolts, profile::NumberText(4.666667));
    // The default voltages recalculate the steps to within a rounding of the
    // stored value; nobody has measured anything yet, so the profile's own
    // value is what a save writes until a voltage or frequency is entered.
    SetText(Control::NewSteps, profile::StepsStoredText(steps));

    // A list whose entry the profile lacks stays unselected, and the save
    // leaves that entry (and, for homing, the inputs that go with it) alone.
    probeEntryFound_ = Contains(ProfileXml, entries::ProbeLogic.openKey);
    ProbeLogicIndex = probeEntryFound_ ? *ListIndex(profile::LoadTag(ProfileXml, entries::ProbeLogic.openKey))
                                       : std::int16_t{-1};
    SetListIndex(Control::ProbeLogicCombo, ProbeLogicIndex);

    homingEntryFound_ = Contains(ProfileXml, entries::FourthHoming.openKey);
    FourthHomingIndex = homingEntryFound_ ? *ListIndex(profile::LoadTag(ProfileXml, entries::FourthHoming.openKey))
                                          : std::int16_t{-1};
    SetListIndex(Control::FourthHomingCombo, FourthHomingIndex);

    EnableStuff(true);
    form_.SetEnabled(Control::ProbeLogicCombo, probeEntryFound_);
    form_.SetEnabled(Control::FourthHomingCombo, homingEntryFound_);
    form_.SetEnabled(Control::MachineType, false);
}

// ---------------------------------------------------------------------------
// Saving

bool MainScreen::SaveButt_Click() {
    const auto refuse = [this](const char* text, const char* title) {
        dialogs_.showMessage(Notice(text, title));
        return false;
    };
    // The hidden pair is shown, and the field named in the message gets the focus.
    const auto showField = [this](Control field) {
        if (!form_.Visible(field)) Label15_Click();
        form_.SetFocus(field);
    };
    const auto isNumber = [this](Control field) { return profile::IsNumericText(form_.Text(field)); };

    if (!FileLoaded) return refuse("No file loaded", "Error!");
    if (!isNumber(Control::ManVolts) || !isNumber(Control::AutoVolts))
        return refuse("Voltages are not valid numbers. Not saved", "Data error");

    profile::UpdateTag(ProfileXml, entries::Steps.saveKey, profile::StepsStoredText(form_.Text(Control::NewSteps)));

    const std::optional<std::string> port = profile::PortStoredText(form_.Text(Control::PortAdd));
    if (!port) return refuse("Port is not a valid Hex number. Not saved", "Data error");
    profile::UpdateTag(ProfileXml, entries::Port.saveKey, *port);

    if (!isNumber(Control::PulseMagic)) {
        refuse("Pulse Magic number is not valid. Not saved", "Data error");
        showField(Control::PulseMagic);
        return false;
    }
    // A numeric text is plain ASCII, so its bytes are its characters.
    profile::UpdateTag(ProfileXml, entries::PulseWidth.saveKey, form_.Text(Control::PulseMagic));

    if (!isNumber(Control::XMLRev)) {
        refuse("XML Rev number is not valid. Not saved", "Data error");
        showField(Control::XMLRev);
        return false;
    }
    profile::UpdateTag(ProfileXml, entries::XmlRevision.saveKey, form_.Text(Control::XMLRev));

    // Jog entries are written as typed, but never markup or a character that
    // the profile's single bytes cannot hold. A value that stands in the file
    // as it is goes back unchanged.
    std::array<std::string, 10> jog;
    for (std::size_t k = 0; k < jog.size(); ++k) {
        const Control entry = Step0(static_cast<int>(k));
        const std::string_view key = entries::Jog[k].saveKey;
        if (!Contains(ProfileXml, key)) continue;  // nothing is written for a missing entry
        const bool fits = form_.TextFitsBytes(entry);
        const std::string bytes = form_.Text(entry);
        const bool unchanged = fits && bytes == profile::LoadTag(openedBytes_, key);
        std::string problem;
        if (!fits)
            problem = "holds a character that the profile cannot store";
        else if (!unchanged && bytes.find_first_of("<>&") != std::string::npos)
            problem = "holds \"<\", \">\" or \"&\", which would break the profile's markup";
        if (!problem.empty()) {
            dialogs_.showMessage(Notice("The jog step in row " + std::to_string(k + 1) + " (" + std::string(key) +
                                            ") " + problem + ": \"" + form_.TextAsUtf8(entry) + "\". Not saved",
                                        "Data error"));
            form_.SetFocus(entry);
            return false;
        }
        jog[k] = bytes;
    }
    for (std::size_t k = 0; k < jog.size(); ++k) {
        const std::string_view key = entries::Jog[k].saveKey;
        if (Contains(ProfileXml, key)) profile::UpdateTag(ProfileXml, key, jog[k]);
    }

    if (probeEntryFound_)
        profile::UpdateTag(ProfileXml, entries::ProbeLogic.saveKey, profile::IndexStoredText(ProbeLogicIndex));
    if (homingEntryFound_)
        for (const profile::Replacement& replacement : profile::HomingReplacements(FourthHomingIndex))
            profile::UpdateTag(ProfileXml, replacement.key, replacement.value);

    return WriteOpenedProfile();
}

// Writes ProfileXml over the opened profile: first makes sure no other program
// changed or removed the file since it was read, then reads the written file
// back. ProfileChanged is cleared only when the file holds exactly the text.
bool MainScreen::WriteOpenedProfile() {
    const std::string path = PathText(openedPath_);
    const std::string kept = "Your changes are still in this window.";
    const auto fail = [&](const std::string& what) {
        dialogs_.showMessage(Notice(what + "\n\n" + kept, "Not saved"));
        return false;
    };

    std::string onDisk;
    const profile::FileResult before = profile::LoadProfile(openedPath_, onDisk);
    if (!before) {
        std::error_code ec;
        const fs::file_status status = fs::status(openedPath_, ec);
        if (!fs::exists(status)) {
            const Button answer = dialogs_.showMessage(
                {"The profile " + path + " is gone: it was moved or deleted since it was opened.\n\n"
                                         "Write it again at the same place?",
                 "Profile gone", Icon::Warning, {Button::WriteAgain, Button::Cancel}, Button::Cancel});
            if (answer != Button::WriteAgain) return false;
        } else if (fs::is_directory(status)) {
            return fail("The profile " + path + " is now a folder, not a file. Nothing was written.");
        } else {
            return fail("The profile could not be read to check it before saving. Nothing was written.\n" +
                        ReasonWithPath(before.reason, openedPath_));
        }
    } else if (onDisk != openedBytes_) {
        const Button answer = dialogs_.showMessage(
            {"The profile " + path + " was changed by another program since it was opened.\n\n"
                                     "Saving will replace those changes.",
             "Profile changed", Icon::Warning, {Button::SaveAnyway, Button::Cancel}, Button::Cancel});
        if (answer != Button::SaveAnyway) return false;
    }

    const profile::FileResult written = profile::WriteProfile(openedPath_, ProfileXml);
    if (!written)
        return fail("The profile was not saved; the file on disk was left as it was.\n" +
                    ReasonWithPath(written.reason, openedPath_));

    std::string readBack;
    const profile::FileResult check = profile::LoadProfile(openedPath_, readBack);
    if (!check || readBack != ProfileXml) {
        if (check) openedBytes_ = readBack;  // what the file holds now
        const std::string why = check ? std::string() : "\n" + ReasonWithPath(check.reason, openedPath_);
        return fail("The profile " + path +
                    " was written, but reading it back did not give the text that was saved, so the save has "
                    "failed. Check the file before using it." +
                    why);
    }

    openedBytes_ = ProfileXml;
    ProfileChanged = false;
    return true;
}

// ---------------------------------------------------------------------------
// Leaving

void MainScreen::DoneButt_Click() {
    if (FileLoaded && ProfileChanged) {
        const Button answer = dialogs_.showMessage(
            {"Do you wish to save profile first?", "Save first?", Icon::None, {Button::Yes, Button::No}, Button::Yes});
        // A save that was refused or failed has told the user why; the program
        // stays open with the edits so that nothing is lost.
        if (answer == Button::Yes && !SaveButt_Click()) return;
    }
    ending_ = true;
    dialogs_.endProgram();
}
