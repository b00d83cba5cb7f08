#pragma once

#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

// What a command-line tool (qpdf, pdftotext, mutool, ...) said about a file.
struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err;
    QString output() const { return out + err; }
};

// Runs a tool the test command installs; a missing tool or one that does not finish fails the test
// that needs it and gives exit code -1.
inline ToolRun runTool(const QString& program, const QStringList& arguments, int timeoutMs = 120000)
{
    ToolRun run;
    const QString path = QStandardPaths::findExecutable(program);
    if (path.isEmpty()) {
        ADD_FAILURE() << program.toStdString() << " is not installed (scripts/setup.sh test installs it)";
        return run;
    }
    QProcess process;
    process.start(path, arguments);
    if (!process.waitForFinished(timeoutMs) || process.exitStatus() != QProcess::NormalExit) {
        ADD_FAILURE() << program.toStdString() << " did not finish";
        return run;
    }
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}
