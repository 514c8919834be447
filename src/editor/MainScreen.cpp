#include "editor/MainScreen.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>

#include "ui_MainScreen.h"

MainScreen::MainScreen(UserDialogs& dialogs, QWidget* parent)
    : QWidget(parent), dialogs_(dialogs), ui(std::make_unique<Ui::MainScreen>()) {
    ui->setupUi(this);
    Form_Load();
}

MainScreen::~MainScreen() = default;

void MainScreen::Form_Load() {}
void MainScreen::EnableStuff(bool) {}
void MainScreen::Label15_Click() {}
void MainScreen::ProbeLogicCombo_Click() {}
void MainScreen::FourthHomingCombo_Click() {}
void MainScreen::MachineType_Click() {}
void MainScreen::SetVfdDisplay(bool) {}
void MainScreen::SetText(QLineEdit*, const QString&) {}
void MainScreen::SetListIndex(QComboBox*, int) {}
void MainScreen::connectHandlers() {}
