#pragma once

#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <utility>

// What a command-line tool (qpdf, pdftotext, mutool, ...) said about a file.
struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err;
    QString output() const { return out + err; }
};

// The Debian package that brings a tool the tests run.
inline const char* packageOfTool(const QString& program)
{
    static const std::pair<const char*, const char*> packages[] = {{"qpdf", "qpdf"}, {"pdftotext", "poppler-utils"},
        {"pdffonts", "poppler-utils"}, {"pdfinfo", "poppler-utils"}, {"pdftoppm", "poppler-utils"},
        {"mutool", "mupdf-tools"}, {"djpeg", "libjpeg-turbo-progs"}, {"lpadmin", "cups-client"},
        {"lpstat", "cups-client"}, {"ots-sanitize", "opentype-sanitizer"},
        {"locale", "locales"}, {"setpriv", "util-linux"}};
    const QString name = program.section(QLatin1Char('/'), -1);
    for (const auto& [tool, package] : packages) {
        if (name == QLatin1String(tool))
            return package;
    }
    return "the package that holds it";
}

// The path of a tool the test command installs; a missing one fails the test that needs it, with
// the package to install.
inline QString toolPath(const QString& program)
{
    // The unit label promises a quick loop without outside processes (tests/CMakeLists.txt).
    if (qEnvironmentVariableIsSet("QUITTUNG_UNIT_TEST")) {
        ADD_FAILURE() << "a unit test runs no outside tool (" << program.toStdString()
                      << "): give its suite a name ending in WithTools";
        return {};
    }
    const QString path = QStandardPaths::findExecutable(program);
    if (path.isEmpty()) {
        ADD_FAILURE() << program.toStdString() << " is not installed: apt-get install " << packageOfTool(program)
                      << " (scripts/setup.sh test installs it)";
    }
    return path;
}

// Runs a tool the test command installs; a missing tool or one that does not finish fails the test
// that needs it and gives exit code -1.
inline ToolRun runTool(const QString& program, const QStringList& arguments, int timeoutMs = 120000)
{
    ToolRun run;
    const QString path = toolPath(program);
    if (path.isEmpty())
        return run;
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
