// The diagnostic log file.

#include <gtest/gtest.h>

#include <QFile>

#include "builders.h"
#include "editor/editor_log.h"

namespace zorvane::testing {
namespace {

QByteArray FileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(EditorLogTest, TheThousandthLineWritesAllLinesInOrder) {
    TempDir dir;
    editor::EditorLog log(QString::fromStdString(dir.path().string()));
    for (int i = 0; i < 999; ++i) log.AddLogLine(QStringLiteral("line %1").arg(i));
    EXPECT_EQ(log.Lines().size(), 999);
    EXPECT_TRUE(FileBytes(log.FilePath()).isEmpty());
    log.AddLogLine(QStringLiteral("line 999"));
    EXPECT_TRUE(log.Lines().isEmpty());
    const QList<QByteArray> lines = FileBytes(log.FilePath()).split('\n');
    ASSERT_EQ(lines.size(), 1001);  // the last "\n" leaves an empty tail
    EXPECT_TRUE(lines[0].endsWith(" line 0\r"));
    EXPECT_TRUE(lines[999].endsWith(" line 999\r"));
    EXPECT_EQ(lines[0].indexOf(' '), 8) << "hh:mm:ss, one blank, the message";
}

TEST(EditorLogTest, WritingAppendsToAnExistingFile) {
    TempDir dir;
    editor::EditorLog log(QString::fromStdString(dir.path().string()));
    log.AddLogLine(QStringLiteral("first"));
    log.WriteLogLinesToFile();
    log.AddLogLine(QStringLiteral("second"));
    log.WriteLogLinesToFile();
    const QByteArray bytes = FileBytes(log.FilePath());
    EXPECT_EQ(bytes.count("\r\n"), 2);
    EXPECT_LT(bytes.indexOf("first"), bytes.indexOf("second"));
}

TEST(EditorLogTest, AnUnwritableFolderIsReportedAndKeepsTheLines) {
    editor::EditorLog log(QStringLiteral("/nonexistent/folder"));
    log.AddLogLine(QStringLiteral("kept"));
    EXPECT_THROW(log.WriteLogLinesToFile(), Error);
    EXPECT_EQ(log.Lines().size(), 1);
}

}  // namespace
}  // namespace zorvane::testing
