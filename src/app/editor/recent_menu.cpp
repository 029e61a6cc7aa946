#include "editor/recent_menu.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>
#include <QStringList>

#include "editor/elided_path.h"
#include "platform/file_io.h"

namespace zorvane::editor {
namespace {

const QString SettingsKey = QStringLiteral("RecentFiles");

}  // namespace

std::string RecentFileKey(const std::string& file) {
    const QFileInfo info(QString::fromStdString(file));
    QString key = info.canonicalFilePath();
    if (key.isEmpty()) key = QDir::cleanPath(info.absoluteFilePath());
    return key.toStdString();
}

RecentFilesMenu::RecentFilesMenu(QMenu& menu, UserInterface& ui, std::function<void(const std::string&)> open)
    : menu_(menu), ui_(ui), open_(std::move(open)), list_(RecentFileKey) {
    menu_.setToolTipsVisible(true);
    QObject::connect(&menu_, &QMenu::aboutToShow, &menu_, [this] {
        Load();
        Rebuild();
    });
    Load();
    Rebuild();
}

void RecentFilesMenu::Load() {
    std::vector<std::string> files;
    for (const QString& file : QSettings().value(SettingsKey).toStringList()) files.push_back(file.toStdString());
    list_.Assign(files);
}

void RecentFilesMenu::Store() {
    QStringList files;
    for (const std::string& file : list_.Files()) files << QString::fromStdString(file);
    QSettings settings;
    if (files.isEmpty())
        settings.remove(SettingsKey);
    else
        settings.setValue(SettingsKey, files);
    Rebuild();
}

void RecentFilesMenu::Add(const std::string& file) {
    Load();
    list_.Add(AbsolutePath(file));
    Store();
}

void RecentFilesMenu::Remove(const std::string& file) {
    Load();
    list_.Remove(file);
    Store();
}

void RecentFilesMenu::Clear() {
    list_.Clear();
    Store();
}

std::vector<std::string> RecentFilesMenu::Files() {
    Load();
    return list_.Files();
}

// The old entries go later: one of them may be the entry whose trigger runs now.
void RecentFilesMenu::Rebuild() {
    for (QAction* old : menu_.actions()) {
        menu_.removeAction(old);
        old->setObjectName(QString());
        old->disconnect(&menu_);
        old->deleteLater();
    }
    const int width = menu_.fontMetrics().averageCharWidth() * 60;
    int number = 0;
    for (const std::string& file : list_.Files()) {
        const QString path = QString::fromStdString(file);
        QString shown = ElideMiddle(QDir::toNativeSeparators(path), menu_.fontMetrics(), width);
        shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* entry = menu_.addAction(QStringLiteral("&%1 %2").arg((number + 1) % 10).arg(shown));
        entry->setObjectName(QStringLiteral("MRecent%1").arg(number++));
        entry->setToolTip(QDir::toNativeSeparators(path));
        QObject::connect(entry, &QAction::triggered, &menu_, [this, file] { Pick(file); });
    }
    if (number > 0) menu_.addSeparator();
    QAction* clear = menu_.addAction(QStringLiteral("Clear list"));
    clear->setObjectName(QStringLiteral("MRecentClear"));
    clear->setEnabled(number > 0);
    QObject::connect(clear, &QAction::triggered, &menu_, [this] { Clear(); });
}

void RecentFilesMenu::Pick(std::string file) {
    if (!FileExists(file)) {
        ui_.message("Recent files", "Could not find " + file + "\rIt is taken off the Recent files list.",
                    Icon::Warning);
        Remove(file);
        return;
    }
    open_(file);
}

}  // namespace zorvane::editor
