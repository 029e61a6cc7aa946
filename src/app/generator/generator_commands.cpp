// The commands of the generator settings window: the learning list, Learn,
// Load, Save, the backup path and closing.

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QSignalBlocker>
#include <QSpinBox>
#include <exception>

#include "commands/file_dialogs.h"
#include "generator/generator_settings.h"
#include "generator/learning/learn.h"
#include "generator/zg_file.h"
#include "platform/file_io.h"

namespace zorvane::generator_ui {

void GeneratorSettingsWindow::Run(const std::function<void()>& command) {
    try {
        command();
    } catch (const std::exception& e) {
        ui_.error("Error", e.what());
    }
}

void GeneratorSettingsWindow::ShowLearnList(int select) {
    const QSignalBlocker block(LBzmPaths);
    LBzmPaths->clear();
    for (const LearnEntry& entry : settings_.LearnList)
        LBzmPaths->addItem(QString::fromStdString(LearnEntryText(entry)));
    if (select >= 0 && select < LBzmPaths->count()) LBzmPaths->setCurrentRow(select);
}

// The multiplier or the connector flag of the selected entry changed.
void GeneratorSettingsWindow::LearnEntryChanged() {
    const int row = LBzmPaths->currentRow();
    if (row < 0 || row >= int(settings_.LearnList.size()) || SEzmMultiplier->text().isEmpty()) return;
    LearnEntry& entry = settings_.LearnList[row];
    entry.Multiplier = SEzmMultiplier->value();
    entry.Connector = CBzmConnector->isChecked();
    LBzmPaths->item(row)->setText(QString::fromStdString(LearnEntryText(entry)));
}

void GeneratorSettingsWindow::BtnAddZMClick() {
    for (const std::string& file : ChooseZmFiles()) settings_.LearnList.push_back({AbsolutePath(file), 1, false});
    ShowLearnList(LBzmPaths->currentRow());
}

namespace {
void ResetEntryControls(QSpinBox* multiplier, QCheckBox* connector) {
    const QSignalBlocker bm(multiplier), bc(connector);
    multiplier->setValue(1);
    connector->setChecked(false);
}
}  // namespace

void GeneratorSettingsWindow::BtnDelZMClick() {
    const int row = LBzmPaths->currentRow();
    if (row < 0 || row >= int(settings_.LearnList.size())) return;
    settings_.LearnList.erase(settings_.LearnList.begin() + row);
    ShowLearnList(-1);
    ResetEntryControls(SEzmMultiplier, CBzmConnector);
}

void GeneratorSettingsWindow::BtnClearZMClick() {
    settings_.LearnList.clear();
    ShowLearnList(-1);
    ResetEntryControls(SEzmMultiplier, CBzmConnector);
}

// Checked by the user: the tile set every map is learned with; no file
// chosen leaves the box unchecked.
void GeneratorSettingsWindow::CBselectZpClick() {
    if (CBselectZp->isChecked()) {
        if (auto file = ui_.chooseFile(OpenTileSetDialog()))
            window_.project().ZpPath = *file;
        else
            CBselectZp->setChecked(false);
    }
    CBselectZp->setText(QString::fromStdString(SelectZpCaption(settings_.ForceTileSet, window_.project().ZpPath)));
}

void GeneratorSettingsWindow::BtnLearnClick() {
    window_.LongOperationStarts();
    window_.BusyRun([this] { LearnCommand(window_.project(), ui_, generator_, settings_); });
    ShowSettings();
    window_.LongOperationEnded();
}

void GeneratorSettingsWindow::BtnLoadClick() {
    window_.BusyRun([this] { LoadZGCommand(window_.project(), ui_, generator_, settings_); });
    ShowSettings();
    window_.LongOperationEnded();
}

void GeneratorSettingsWindow::BtnSaveClick() {
    Run([this] { SaveZGCommand(window_.project(), ui_, generator_, settings_); });
}

void GeneratorSettingsWindow::LbackupClick() {
    auto file = ui_.chooseFile(SaveLayeredDialog());
    if (!file) return;
    settings_.BackupPath = ChangeFileExt(*file, ".zl");
    Lbackup->setText(QString::fromStdString(settings_.BackupPath));
    Lbackup->setToolTip(Lbackup->text());
}

// Closing checks the schedule and the backup folder; a question answered
// either way keeps the window open with what it changed shown.
void GeneratorSettingsWindow::done(int result) {
    const bool mayClose = MayCloseSettings(ui_, settings_);
    ShowSettings();
    if (mayClose) QDialog::done(result);
}

}  // namespace zorvane::generator_ui
