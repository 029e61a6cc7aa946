#include "qtui.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStringList>
#include <utility>
#include <vector>

#include "editor/main_window.h"

namespace zorvane::app {

QString QtFilter(const std::string& filter) {
    const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        filters << parts[i] + QStringLiteral(" (") + QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' ')) +
                       QLatin1Char(')');
    return filters.join(QStringLiteral(";;"));
}

namespace {

// The buttons of a box with the answer each gives, in the order shown.
std::vector<std::pair<QAbstractButton*, Answer>> AddButtons(QMessageBox& box, Buttons buttons) {
    std::vector<std::pair<QAbstractButton*, Answer>> added;
    auto standard = [&](QMessageBox::StandardButton button, Answer answer) {
        added.emplace_back(box.addButton(button), answer);
    };
    auto named = [&](const char* text, QMessageBox::ButtonRole role, Answer answer) {
        added.emplace_back(box.addButton(QString::fromUtf8(text), role), answer);
    };
    switch (buttons) {
    case Buttons::Ok: standard(QMessageBox::Ok, Answer::Ok); break;
    case Buttons::OkCancel:
        standard(QMessageBox::Ok, Answer::Ok);
        standard(QMessageBox::Cancel, Answer::Cancel);
        break;
    case Buttons::YesNoCancel:
    case Buttons::YesNo:
        standard(QMessageBox::Yes, Answer::Yes);
        standard(QMessageBox::No, Answer::No);
        if (buttons == Buttons::YesNoCancel) standard(QMessageBox::Cancel, Answer::Cancel);
        break;
    case Buttons::SaveDiscardCancel:
        standard(QMessageBox::Save, Answer::Save);
        standard(QMessageBox::Discard, Answer::Discard);
        standard(QMessageBox::Cancel, Answer::Cancel);
        break;
    case Buttons::OpenKeepDiscard:
        named("Open", QMessageBox::AcceptRole, Answer::Open);
        named("Keep for later", QMessageBox::RejectRole, Answer::Keep);
        named("Discard", QMessageBox::DestructiveRole, Answer::Discard);
        break;
    }
    return added;
}

QMessageBox::Icon ToQt(Icon icon) {
    switch (icon) {
    case Icon::None: return QMessageBox::NoIcon;
    case Icon::Information: return QMessageBox::Information;
    case Icon::Warning: return QMessageBox::Warning;
    case Icon::Error: return QMessageBox::Critical;
    case Icon::Question: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

Answer QtUi::message(std::string_view caption, std::string_view text, Icon icon, Buttons buttons,
                     Answer defaultAnswer) {
    ShownMessage m{std::string(caption), std::string(text), icon, buttons, defaultAnswer};
    if (beforeMessage_) beforeMessage_();
    if (answerer_) return answerer_->answer(m);
    return showMessageBox(m);
}

Answer QtUi::showMessageBox(const ShownMessage& m) {
    QMessageBox box(ToQt(m.icon), ShownText(m.caption), ShownText(m.text), QMessageBox::NoButton,
                    QApplication::activeWindow() ? QApplication::activeWindow() : &window_);
    const auto buttons = AddButtons(box, m.buttons);
    const Answer preselected = PreselectedAnswer(m.buttons, m.defaultAnswer);
    for (const auto& [button, answer] : buttons) {
        if (answer == preselected) box.setDefaultButton(qobject_cast<QPushButton*>(button));
        if (answer == ClosedBoxAnswer(m.buttons)) box.setEscapeButton(button);
    }
    box.exec();
    for (const auto& [button, answer] : buttons)
        if (box.clickedButton() == button) return answer;
    // Closed without a button.
    return ClosedBoxAnswer(m.buttons);
}

namespace {

// Where the settings store keeps the last folder of a dialog.
QString FolderKey(const FileDialog& dialog) {
    return QStringLiteral("FileDialogs/") + QString::fromStdString(dialog.name);
}

}  // namespace

std::optional<std::string> QtUi::chooseFile(const FileDialog& dialog) {
    const QString filter = QtFilter(dialog.filter);
    std::optional<std::string> chosen =
        answerer_ ? answerer_->chooseFile(dialog, filter) : showFileDialog(dialog, filter);
    if (chosen) QSettings().setValue(FolderKey(dialog), QFileInfo(QString::fromStdString(*chosen)).absolutePath());
    return chosen;
}

QString QtUi::StartFolder(const FileDialog& dialog) {
    const QFileInfo initial(QString::fromStdString(dialog.initialPath));
    if (!dialog.initialPath.empty() && initial.path() != QStringLiteral(".")) return initial.absolutePath();
    const QString remembered = QSettings().value(FolderKey(dialog)).toString();
    return !remembered.isEmpty() && QDir(remembered).exists() ? remembered : QString();
}

std::optional<std::string> QtUi::showFileDialog(const FileDialog& dialog, const QString& filter) {
    QFileDialog fd(QApplication::activeWindow() ? QApplication::activeWindow() : &window_);
    fd.setObjectName(QString::fromStdString(dialog.name));
    fd.setWindowTitle(dialog.save ? QStringLiteral("Save As") : QStringLiteral("Open"));
    fd.setOption(QFileDialog::DontUseNativeDialog);
    fd.setNameFilter(filter);
    fd.setAcceptMode(dialog.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    fd.setFileMode(dialog.save || !dialog.fileMustExist ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!dialog.overwritePrompt) fd.setOption(QFileDialog::DontConfirmOverwrite);
    const QString folder = StartFolder(dialog);
    if (!folder.isEmpty()) fd.setDirectory(folder);
    if (!dialog.initialPath.empty()) fd.selectFile(QString::fromStdString(dialog.initialPath));
    if (fd.exec() != QDialog::Accepted || fd.selectedFiles().isEmpty()) return std::nullopt;
    return fd.selectedFiles().first().toStdString();
}

void QtUi::setStatus(std::string_view text) { window_.SetPanel(0, ShownText(text)); }
std::string QtUi::status() const { return window_.Panel(0).toStdString(); }
void QtUi::showProgress(bool busy) { window_.ShowProgress(busy); }
void QtUi::hideProgress(bool busy) { window_.HideProgress(busy); }
void QtUi::setProgressPosition(int position) { window_.SetProgressPosition(position); }
void QtUi::setBusy(bool busy) { window_.SetBusyCursor(busy); }
void QtUi::processEvents() { QCoreApplication::processEvents(); }
void QtUi::changed(const ChangeNotice& notice) { window_.ShowChange(notice); }

}  // namespace zorvane::app
