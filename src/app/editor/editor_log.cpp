#include "editor/editor_log.h"

#include <QDir>
#include <QFile>
#include <QTime>

#include "model/project.h"

namespace zorvane::editor {

QString EditorLog::FilePath() const { return QDir(startDir_).filePath(QStringLiteral("log.txt")); }

void EditorLog::AddLogLine(const QString& message) {
    lines_.append(QTime::currentTime().toString(QStringLiteral("HH:mm:ss")) + QLatin1Char(' ') + message);
    if (lines_.size() >= 1000) WriteLogLinesToFile();
}

void EditorLog::WriteLogLinesToFile() {
    if (lines_.isEmpty()) return;
    QFile file(FilePath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        throw Error("Cannot write " + FilePath().toStdString() + ": " + file.errorString().toStdString());
    QByteArray bytes;
    for (const QString& line : lines_) bytes += line.toLocal8Bit() + "\r\n";
    if (file.write(bytes) != bytes.size() || !file.flush())
        throw Error("Cannot write " + FilePath().toStdString() + ": " + file.errorString().toStdString());
    lines_.clear();
}

}  // namespace zorvane::editor
