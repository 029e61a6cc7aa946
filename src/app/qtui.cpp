#include "qtui.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>

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

QString ShownText(std::string_view text) {
    QString s = QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

namespace {

QMessageBox::StandardButton ToQt(Answer a) {
    switch (a) {
    case Answer::Ok: return QMessageBox::Ok;
    case Answer::Cancel: return QMessageBox::Cancel;
    case Answer::Yes: return QMessageBox::Yes;
    case Answer::No: return QMessageBox::No;
    }
    return QMessageBox::Ok;
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
    switch (m.buttons) {
    case Buttons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case Buttons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case Buttons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case Buttons::YesNoCancel: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel); break;
    }
    Answer preselected = m.defaultAnswer;
    if (m.buttons == Buttons::YesNo || m.buttons == Buttons::YesNoCancel)
        if (preselected == Answer::Ok) preselected = Answer::Yes;
    if (m.buttons == Buttons::Ok) preselected = Answer::Ok;
    box.setDefaultButton(ToQt(preselected));
    switch (box.exec()) {
    case QMessageBox::Ok: return Answer::Ok;
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Cancel: return Answer::Cancel;
    default: break;
    }
    // Closed without a button (Esc): as Cancel, or as No where there is no Cancel.
    if (m.buttons == Buttons::Ok) return Answer::Ok;
    return m.buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
}

std::optional<std::string> QtUi::chooseFile(const FileDialog& dialog) {
    const QString filter = QtFilter(dialog.filter);
    std::optional<std::string> chosen =
        answerer_ ? answerer_->chooseFile(dialog, filter) : showFileDialog(dialog, filter);
    if (chosen) folders_[dialog.name] = QFileInfo(QString::fromStdString(*chosen)).absolutePath();
    return chosen;
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
    auto folder = folders_.find(dialog.name);
    if (folder != folders_.end()) fd.setDirectory(folder->second);
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
void QtUi::bitmapsChanged() { window_.PrepareBitmapsPx(); }

void QtUi::refreshInterface(const RefreshRequest& r) {
    window_.RefreshInterface(r.first, r.last, r.withProgress, r.redraw, r.resetScrolling, r.rebuildList);
}

void QtUi::projectReset(bool redraw) { window_.ProjectReset(redraw); }

}  // namespace zorvane::app
