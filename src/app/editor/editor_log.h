#pragma once
// The diagnostic log: time-stamped lines held in memory and appended to
// "log.txt" in the start directory when 1000 lines have gathered, when a
// generation run ends and at shutdown.

#include <QString>
#include <QStringList>

namespace zorvane::editor {

class EditorLog {
public:
    explicit EditorLog(QString startDir) : startDir_(std::move(startDir)) {}

    // The current local time, one blank and the message; writes all lines
    // once 1000 have gathered.
    void AddLogLine(const QString& message);
    // Writes every held line in order and empties the list. Throws
    // zorvane::Error when the file cannot be written (the lines stay held).
    void WriteLogLinesToFile();
    const QStringList& Lines() const { return lines_; }
    QString FilePath() const;

private:
    QString startDir_;
    QStringList lines_;
};

}  // namespace zorvane::editor
