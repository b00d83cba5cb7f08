#include "app/program_start.h"

#include "app/error_handler.h"
#include "tests/support/recording_engine_host.h"

#include <QAbstractButton>
#include <QDir>
#include <QFileDialog>
#include <QFile>
#include <QLocale>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTranslator>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace quittung::app;

TEST(ProgramStart, TheIconHasEverySizeOfTheIconTheme)
{
    const QIcon icon = programIcon();
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size))) << size;
        EXPECT_EQ(icon.pixmap(size).size(), QSize(size, size)) << size;
    }
}

TEST(ProgramStart, QtsOwnDialogsSpeakGermanOnlyUnderAGermanLocale)
{
    // The texts of a message box's buttons and of a file dialog's "Look in" and accept button.
    const auto dialogTexts = [] {
        QMessageBox box(QMessageBox::Question, QStringLiteral("Quittung"), QString(),
            QMessageBox::Ok | QMessageBox::Cancel | QMessageBox::Yes | QMessageBox::No | QMessageBox::Save);
        QStringList texts;
        for (QMessageBox::StandardButton button :
            {QMessageBox::Ok, QMessageBox::Cancel, QMessageBox::Yes, QMessageBox::No, QMessageBox::Save})
            texts << box.button(button)->text();
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        texts << dialog.labelText(QFileDialog::LookIn) << dialog.labelText(QFileDialog::Accept);
        return texts;
    };
    {
        const auto translator = installQtTranslations(QLocale(QLocale::German, QLocale::Austria));
        ASSERT_TRUE(translator) << "qtbase_de is missing (Debian qt6-translations-l10n)";
        EXPECT_EQ(dialogTexts(),
            QStringList({"OK", "Abbrechen", "&Ja", "&Nein", "Speichern", "Suchen in:", "S&peichern"}));
    }
    EXPECT_FALSE(installQtTranslations(QLocale(QLocale::English, QLocale::UnitedStates)));
    EXPECT_EQ(dialogTexts(), QStringList({"OK", "Cancel", "&Yes", "&No", "Save", "Look in:", "&Save"}));
}

TEST(ProgramStart, AFolderIsWritableOnlyWhenAFileCanReallyBeCreatedInIt)
{
    QTemporaryDir temporary;
    ASSERT_TRUE(temporary.isValid());
    QFile file(temporary.filePath(QStringLiteral("file")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const QString withoutWriteBits = temporary.filePath(QStringLiteral("locked"));
    ASSERT_TRUE(QDir().mkdir(withoutWriteBits));
    ASSERT_TRUE(QFile::setPermissions(withoutWriteBits, QFile::ReadOwner | QFile::ExeOwner));
    const bool root = ::geteuid() == 0;

    const struct {
        QString folder;
        bool writable;
    } cases[] = {
        {temporary.path(), true},
        // Refused to root as well: the kernel's folder, and a folder whose parent is a file.
        {QStringLiteral("/proc"), false},
        {temporary.filePath(QStringLiteral("file/Quittung")), false},
        // Root writes where the permission bits say no, so only trying tells.
        {withoutWriteBits, root},
    };
    for (const auto& c : cases)
        EXPECT_EQ(canWriteIn(c.folder), c.writable) << c.folder.toStdString();
    EXPECT_EQ(QDir(temporary.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
        QStringList({"file", "locked"}))
        << "the probe was left behind";
}

TEST(ProgramStart, AProgramFolderThatCannotBeWrittenIsReportedOnceWithWhereToCopyIt)
{
    QTemporaryDir temporary;
    RecordingEngineHost host;
    EXPECT_FALSE(warnIfProgramFolderReadOnly(temporary.path(), host));
    EXPECT_TRUE(host.shown.isEmpty());

    // A folder below a file cannot be written by root either; its name needs quoting in a shell.
    QFile file(temporary.filePath(QStringLiteral("Peter's Programme")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const QString belowFile = file.fileName() + QStringLiteral("/quittung");
    const struct {
        QString folder;
        QString shown;
        QString copyCommand;
    } cases[] = {
        {QStringLiteral("/proc/"), QStringLiteral("/proc"), QStringLiteral("/proc")},
        {belowFile, belowFile, QLatin1Char('\'') + temporary.path() + QStringLiteral("/Peter'\\''s Programme/quittung'")},
    };
    const QString copy = QDir::home().filePath(QStringLiteral("Quittung"));
    for (const auto& c : cases) {
        host.shown.clear();
        EXPECT_TRUE(warnIfProgramFolderReadOnly(c.folder, host));
        EXPECT_EQ(host.shown,
            QStringList(applicationTitle() + QStringLiteral("|In den Programmordner %1 kann nicht geschrieben werden. "
                "Quittung legt dort die Einstellungen (Settings.ini) und die Quittungen (PDF und JPG) ab, daher würde "
                "jede Quittung scheitern.\n\nKopieren Sie den Programmordner nach %2 und starten Sie Quittung von "
                "dort, im Terminal zum Beispiel so:\n\ncp -r %3 ~/Quittung\n~/Quittung/Quittung")
                            .arg(c.shown, copy, c.copyCommand)));
    }
}
