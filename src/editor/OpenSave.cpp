// Opening a profile, saving it, and leaving the program.

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>

#include "editor/FieldText.h"
#include "editor/MainScreen.h"
#include "profile/NumberRules.h"
#include "profile/ProfileEntries.h"
#include "profile/TextStore.h"
#include "ui_MainScreen.h"

namespace {

using Button = UserDialogs::Button;
using Icon = UserDialogs::Icon;
namespace entries = profile::entries;

// The folder the open dialog starts in when no profile was chosen before.
const QString kInitialFolder = QStringLiteral("C:\\Ombrel3");

UserDialogs::Message Notice(const QString& text, const QString& title) {
    return {text, title, Icon::Warning, {Button::Ok}, Button::Ok};
}

std::string PathBytes(const QString& path) { return path.toStdString(); }

// A reason from the file operations, with the path in it.
QString ReasonWithPath(const std::string& reason, const QString& path) {
    const QString text = QString::fromStdString(reason);
    return text.contains(path) ? text : path + QStringLiteral(": ") + text;
}

// A stored value as a message shows it: control characters as "?", and cut short.
QString Shown(std::string_view value) {
    constexpr std::size_t kLongest = 40;
    QString text = fieldtext::FromBytes(value.substr(0, kLongest));
    for (QChar& c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F) c = QLatin1Char('?');
    if (value.size() > kLongest) text += QStringLiteral("...");
    return text;
}

bool Contains(const std::string& text, std::string_view key) { return text.find(key) != std::string::npos; }

// A list entry's stored value: exactly -1, 0 or 1, as a number ("1", " 1 ", "1.0").
std::optional<std::int16_t> ListIndex(std::string_view stored) {
    const std::optional<std::int16_t> index = profile::IntegerFromText(stored);
    if (!index || *index < -1 || *index > 1) return std::nullopt;
    if (profile::ParseLeadingNumber(stored) != static_cast<double>(*index)) return std::nullopt;
    return index;
}

bool IsNumber(const QLineEdit* field) { return profile::IsNumericText(fieldtext::ForNumberRules(field->text())); }

// Every entry the editor reads; a file holding none of them is no profile of the machine.
bool HasAnyHandledEntry(const std::string& text) {
    for (const auto* entry : {&entries::Port, &entries::Steps, &entries::PulseWidth, &entries::XmlRevision,
                              &entries::ProbeLogic, &entries::FourthHoming})
        if (Contains(text, entry->openKey)) return true;
    for (const auto& jog : entries::Jog)
        if (Contains(text, jog.openKey)) return true;
    return false;
}

}  // namespace

// ---------------------------------------------------------------------------
// Opening

QString MainScreen::KeptAfterOpen() const {
    if (!FileLoaded) return QStringLiteral("Nothing was opened.");
    return QStringLiteral("Nothing was opened; %1 is still open as before.").arg(openedPath_);
}

// Checks a profile that has been read, before anything in the window changes.
bool MainScreen::AcceptProfile(const QString& strName, const std::string& strXML) {
    const auto refuse = [&](const QString& why) {
        dialogs_.showMessage(Notice(QStringLiteral("The file %1 cannot be opened: %2\n\n%3")
                                        .arg(strName, why, KeptAfterOpen()),
                                    QStringLiteral("Not opened")));
        return false;
    };

    if (!HasAnyHandledEntry(strXML))
        return refuse(QStringLiteral("it holds none of the settings this program edits, so it is not a "
                                     "machine profile."));

    const std::string port = profile::LoadTag(strXML, entries::Port.openKey);
    if (!profile::PortFieldText(port))
        return refuse(QStringLiteral("its entry %1 holds \"%2\", which is no port address.")
                          .arg(QLatin1String(entries::Port.openKey), Shown(port)));

    const std::string steps = profile::LoadTag(strXML, entries::Steps.openKey);
    if (!std::isfinite(profile::ParseLeadingNumber(steps)))
        return refuse(QStringLiteral("its entry %1 holds \"%2\", which is too large a number.")
                          .arg(QLatin1String(entries::Steps.openKey), Shown(steps)));

    for (const auto* entry : {&entries::ProbeLogic, &entries::FourthHoming}) {
        if (!Contains(strXML, entry->openKey)) continue;  // no such entry: its list stays unselected
        const std::string value = profile::LoadTag(strXML, entry->openKey);
        if (!ListIndex(value))
            return refuse(QStringLiteral("its entry %1 (%2) holds \"%3\", and only -1, 0 or 1 are valid there.")
                              .arg(QLatin1String(entry->openKey), QString(QLatin1String(entry->name)).toLower(),
                                   Shown(value)));
    }
    return true;
}

bool MainScreen::LoadProfile(const QString& strName) {
    std::string text;
    const profile::FileResult read = profile::LoadProfile(PathBytes(strName), text);
    if (!read) {
        dialogs_.showMessage(Notice(QStringLiteral("The file could not be read.\n") +
                                        ReasonWithPath(read.reason, strName) + QStringLiteral("\n\n") + KeptAfterOpen(),
                                    QStringLiteral("Not opened")));
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
            {QStringLiteral("Profile has been changed. ") +
                 QStringLiteral("Do you want chance to Save As before Opening a new one?"),
             QStringLiteral("OK to Open another?"), Icon::Question, {Button::Yes, Button::No}, Button::Yes});
        if (answer != Button::No) return;
    }

    QString startIn = lastFolder_;
    if (startIn.isEmpty()) startIn = QFileInfo(kInitialFolder).isDir() ? kInitialFolder : QDir::homePath();
    XMLFileOpen = {QStringLiteral("Open Profile"), QStringLiteral("Profiles "), QStringLiteral("*.xml"), startIn};
    const std::optional<QString> chosen = dialogs_.chooseProfile(XMLFileOpen);
    if (!chosen) return;
    lastFolder_ = QFileInfo(*chosen).absolutePath();

    // Reads the file and checks every entry the open converts; a profile that
    // fails leaves the window, its state and the save target as they were.
    if (!LoadProfile(*chosen)) return;

    openedPath_ = *chosen;
    SetText(ui->txtOpenedFile, openedPath_);
    FileLoaded = true;

    for (std::size_t k = 0; k < Step0.size(); ++k)
        SetText(Step0[k], QString::fromLatin1(profile::NumberText(static_cast<double>(k) / 1000)));
    for (std::size_t k = 0; k < Step0.size(); ++k)
        SetText(Step0[k], fieldtext::FromBytes(profile::LoadTag(ProfileXml, entries::Jog[k].openKey)));
    Step0_LostFocus(-1);

    SetText(ui->PulseMagic, fieldtext::FromBytes(profile::LoadTag(ProfileXml, entries::PulseWidth.openKey)));
    SetText(ui->XMLRev, fieldtext::FromBytes(profile::LoadTag(ProfileXml, entries::XmlRevision.openKey)));

    const std::string port = profile::PortFieldText(profile::LoadTag(ProfileXml, entries::Port.openKey)).value_or("0");
    const std::string steps = profile::LoadTag(ProfileXml, entries::Steps.openKey);
    SetText(ui->PortAdd, QString::fromLatin1(port));
    SetText(ui->SpinVel, QString::fromLatin1(profile::StepsFieldText(steps)));

    SetText(ui->ManVolts, QString::fromLatin1(profile::NumberText(5)));
    SetText(ui->AutoVolts, QString::fromLatin1(profile::NumberText(4.666667)));
    // The default voltages recalculate the steps to within a rounding of the
    // stored value; nobody has measured anything yet, so the profile's own
    // value is what a save writes until a voltage or frequency is entered.
    SetText(ui->NewSteps, QString::fromLatin1(profile::StepsStoredText(steps)));

    // A list whose entry the profile lacks stays unselected, and the save
    // leaves that entry (and, for homing, the inputs that go with it) alone.
    probeEntryFound_ = Contains(ProfileXml, entries::ProbeLogic.openKey);
    ProbeLogicIndex = probeEntryFound_
                          ? *ListIndex(profile::LoadTag(ProfileXml, entries::ProbeLogic.openKey))
                          : std::int16_t{-1};
    SetListIndex(ui->ProbeLogicCombo, ProbeLogicIndex);

    homingEntryFound_ = Contains(ProfileXml, entries::FourthHoming.openKey);
    FourthHomingIndex = homingEntryFound_
                            ? *ListIndex(profile::LoadTag(ProfileXml, entries::FourthHoming.openKey))
                            : std::int16_t{-1};
    SetListIndex(ui->FourthHomingCombo, FourthHomingIndex);

    EnableStuff(true);
    ui->ProbeLogicCombo->setEnabled(probeEntryFound_);
    ui->FourthHomingCombo->setEnabled(homingEntryFound_);
    ui->MachineType->setEnabled(false);
}

// ---------------------------------------------------------------------------
// Saving

bool MainScreen::SaveButt_Click() {
    const auto refuse = [this](const char* text, const char* title) {
        dialogs_.showMessage(Notice(QString::fromLatin1(text), QString::fromLatin1(title)));
        return false;
    };
    // The hidden pair is shown, and the field named in the message gets the focus.
    const auto showField = [this](QLineEdit* field) {
        if (field->isHidden()) Label15_Click();
        field->setFocus(Qt::OtherFocusReason);
    };

    if (!FileLoaded) return refuse("No file loaded", "Error!");
    if (!IsNumber(ui->ManVolts) || !IsNumber(ui->AutoVolts))
        return refuse("Voltages are not valid numbers. Not saved", "Data error");

    profile::UpdateTag(ProfileXml, entries::Steps.saveKey,
                       profile::StepsStoredText(fieldtext::ForNumberRules(ui->NewSteps->text())));

    const std::optional<std::string> port = profile::PortStoredText(fieldtext::ForNumberRules(ui->PortAdd->text()));
    if (!port) return refuse("Port is not a valid Hex number. Not saved", "Data error");
    profile::UpdateTag(ProfileXml, entries::Port.saveKey, *port);

    if (!IsNumber(ui->PulseMagic)) {
        refuse("Pulse Magic number is not valid. Not saved", "Data error");
        showField(ui->PulseMagic);
        return false;
    }
    // A numeric text is plain ASCII, so its bytes are its characters.
    profile::UpdateTag(ProfileXml, entries::PulseWidth.saveKey, fieldtext::ForNumberRules(ui->PulseMagic->text()));

    if (!IsNumber(ui->XMLRev)) {
        refuse("XML Rev number is not valid. Not saved", "Data error");
        showField(ui->XMLRev);
        return false;
    }
    profile::UpdateTag(ProfileXml, entries::XmlRevision.saveKey, fieldtext::ForNumberRules(ui->XMLRev->text()));

    // Jog entries are written as typed, but never markup or a character that
    // the profile's single bytes cannot hold. A value that stands in the file
    // as it is goes back unchanged.
    std::array<std::string, 10> jog;
    for (std::size_t k = 0; k < Step0.size(); ++k) {
        const std::string_view key = entries::Jog[k].saveKey;
        if (!Contains(ProfileXml, key)) continue;  // nothing is written for a missing entry
        const QString text = Step0[k]->text();
        const std::optional<std::string> bytes = fieldtext::ToBytes(text);
        const bool unchanged = bytes && *bytes == profile::LoadTag(openedBytes_, key);
        QString problem;
        if (!bytes)
            problem = QStringLiteral("holds a character that the profile cannot store");
        else if (!unchanged && bytes->find_first_of("<>&") != std::string::npos)
            problem = QStringLiteral("holds \"<\", \">\" or \"&\", which would break the profile's markup");
        if (!problem.isEmpty()) {
            dialogs_.showMessage(Notice(QStringLiteral("The jog step in row %1 (%2) %3: \"%4\". Not saved")
                                            .arg(QString::number(k + 1), QLatin1String(key), problem, text),
                                        QStringLiteral("Data error")));
            Step0[k]->setFocus(Qt::OtherFocusReason);
            return false;
        }
        jog[k] = *bytes;
    }
    for (std::size_t k = 0; k < Step0.size(); ++k) {
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
    const std::string path = PathBytes(openedPath_);
    const QString kept = QStringLiteral("Your changes are still in this window.");
    const auto fail = [&](const QString& what) {
        dialogs_.showMessage(Notice(what + QStringLiteral("\n\n") + kept, QStringLiteral("Not saved")));
        return false;
    };

    std::string onDisk;
    const profile::FileResult before = profile::LoadProfile(path, onDisk);
    if (!before) {
        const QFileInfo file(openedPath_);
        if (!file.exists()) {
            const Button answer = dialogs_.showMessage(
                {QStringLiteral("The profile %1 is gone: it was moved or deleted since it was opened.\n\n"
                                "Write it again at the same place?")
                     .arg(openedPath_),
                 QStringLiteral("Profile gone"), Icon::Warning, {Button::WriteAgain, Button::Cancel}, Button::Cancel});
            if (answer != Button::WriteAgain) return false;
        } else if (file.isDir()) {
            return fail(QStringLiteral("The profile %1 is now a folder, not a file. Nothing was written.")
                            .arg(openedPath_));
        } else {
            return fail(QStringLiteral("The profile could not be read to check it before saving. "
                                       "Nothing was written.\n") +
                        ReasonWithPath(before.reason, openedPath_));
        }
    } else if (onDisk != openedBytes_) {
        const Button answer = dialogs_.showMessage(
            {QStringLiteral("The profile %1 was changed by another program since it was opened.\n\n"
                            "Saving will replace those changes.")
                 .arg(openedPath_),
             QStringLiteral("Profile changed"), Icon::Warning, {Button::SaveAnyway, Button::Cancel}, Button::Cancel});
        if (answer != Button::SaveAnyway) return false;
    }

    const profile::FileResult written = profile::WriteProfile(path, ProfileXml);
    if (!written) return fail(QStringLiteral("The profile was not saved; the file on disk was left as it was.\n") +
                                     ReasonWithPath(written.reason, openedPath_));

    std::string readBack;
    const profile::FileResult check = profile::LoadProfile(path, readBack);
    if (!check || readBack != ProfileXml) {
        if (check) openedBytes_ = readBack;  // what the file holds now
        const QString why = check ? QString() : QStringLiteral("\n") + ReasonWithPath(check.reason, openedPath_);
        return fail(QStringLiteral("The profile %1 was written, but reading it back did not give the text "
                                   "that was saved, so the save has failed. Check the file before using it.%2")
                        .arg(openedPath_, why));
    }

    openedBytes_ = ProfileXml;
    ProfileChanged = false;
    return true;
}

// ---------------------------------------------------------------------------
// Leaving

void MainScreen::DoneButt_Click() {
    if (FileLoaded && ProfileChanged) {
        const Button answer = dialogs_.showMessage({QStringLiteral("Do you wish to save profile first?"),
                                                    QStringLiteral("Save first?"), Icon::None,
                                                    {Button::Yes, Button::No}, Button::Yes});
        // A save that was refused or failed has told the user why; the program
        // stays open with the edits so that nothing is lost.
        if (answer == Button::Yes && !SaveButt_Click()) return;
    }
    ending_ = true;
    dialogs_.endProgram();
}

void MainScreen::closeEvent(QCloseEvent* event) {
    if (ending_) {
        event->accept();
        return;
    }
    // Closing the window is leaving the program: it asks and saves as "Done" does.
    event->ignore();
    DoneButt_Click();
}
