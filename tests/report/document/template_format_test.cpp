#include "report/document/band.h"
#include "report/document/builtin_design.h"
#include "report/document/engine_host.h"
#include "report/document/text_object.h"
#include "report/document/page.h"
#include "report/document/report.h"
#include "report/document/template_serializer.h"
#include "runtime/exception.h"
#include "tests/support/qt_printers.h"
#include "tests/support/recording_engine_host.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quittung;
using namespace quittung::report;

namespace {

const QByteArray kDeclaration = "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>\r\n";

void load(Report& report, const QByteArray& bytes)
{
    QByteArray data = bytes;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    report.loadFromStream(buffer);
}

QByteArray save(Report& report)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    report.saveToStream(buffer);
    return bytes;
}

// A template with one report page holding the given objects.
QByteArray pageWith(const QByteArray& objects)
{
    return kDeclaration + "<TfrxReport><TfrxDataPage Name=\"Data\"/><TfrxReportPage Name=\"Page1\">" + objects
        + "</TfrxReportPage></TfrxReport>";
}

TextObject* memo(Report& report, const QString& name = QStringLiteral("Memo1"))
{
    return dynamic_cast<TextObject*>(report.findObject(name));
}

QStringList pageNames(const Report& report)
{
    QStringList names;
    for (const auto& page : report.children())
        names << page->name();
    return names;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(TemplateFormat, TheExampleFileReadsAndWritesBackByteForByte)
{
    const QByteArray example = readFile(QStringLiteral(QUITTUNG_TEST_DATA "/part_example.xml"));
    ASSERT_FALSE(example.isEmpty());
    RecordingEngineHost host;
    Report report;
    load(report, example);
    EXPECT_TRUE(host.shown.isEmpty()) << host.shown.join(QLatin1Char('\n')).toStdString();
    ASSERT_EQ(pageNames(report), QStringList({QStringLiteral("Data"), QStringLiteral("Page1")}));
    const ReportPage* page = dynamic_cast<ReportPage*>(report.pages(1));
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->width(), 794);
    EXPECT_EQ(page->height(), 1123);
    EXPECT_EQ(page->leftMargin(), 10);
    const TextObject* memo3 = memo(report, QStringLiteral("Memo3"));
    ASSERT_NE(memo3, nullptr);
    EXPECT_EQ(memo3->lines(), QStringList({QStringLiteral("Netto :"), QStringLiteral("+ [MwSt] % MwSt. :")}));
    EXPECT_EQ(memo3->hAlign(), HAlign::Right);
    EXPECT_EQ(memo3->font().size(), 10);
    EXPECT_EQ(memo3->left(), 362.83488);
    EXPECT_EQ(save(report), example);
}

TEST(TemplateFormat, ValuesAreReadByTheirType)
{
    RecordingEngineHost host;
    Report report;
    const struct {
        const char* attributes;
        std::function<bool(TextObject&)> check;
    } rows[] = {
        {"Left=\"124,72449\"", [](TextObject& m) { return m.left() == 124.72449; }},
        {"Left=\"124.72449\"", [](TextObject& m) { return m.left() == 124.72449; }},
        {"Left=\" 1 5 \"", [](TextObject& m) { return m.left() == 15; }},
        {"Left=\"1E2\"", [](TextObject& m) { return m.left() == 100; }},
        {"Frame.Typ=\"15\"", [](TextObject& m) { return m.frame().sides() == 15; }},
        {"Frame.Typ=\"$F\"", [](TextObject& m) { return m.frame().sides() == 15; }},
        {"HAlign=\"HARIGHT\"", [](TextObject& m) { return m.hAlign() == HAlign::Right; }},
        {"HAlign=\"1\"", [](TextObject& m) { return m.hAlign() == HAlign::Right; }},
        {"WordWrap=\"false\"", [](TextObject& m) { return !m.wordWrap(); }},
        {"WordWrap=\"0\"", [](TextObject& m) { return !m.wordWrap(); }},
        {"Color=\"$FF00000F\"", [](TextObject& m) { return m.color() == colors::ButtonFace; }},
        {"Font.Style=\"3\" ParentFont=\"False\"",
            [](TextObject& m) { return m.font().style() == 3 && !m.parentFont(); }},
        {"Text=\"A&#38;B\"", [](TextObject& m) { return m.text() == QLatin1String("A&B\r\n"); }},
        {"Text=\"&quot;x&quot;\"", [](TextObject& m) { return m.text() == QLatin1String("\"x\"\r\n"); }},
        {"Text=\"A & B\"", [](TextObject& m) { return m.text() == QLatin1String("A & B\r\n"); }},
        {"Frame.LeftLine.Width=\"3\" Frame.Width=\"2\"",
            [](TextObject& m) { return m.frame().leftLine().width() == 2; }},
        {"Unknown=\"1\" Font.Nothing=\"2\" Top=\"7\"", [](TextObject& m) { return m.top() == 7; }},
    };
    for (const auto& row : rows) {
        load(report, pageWith(QByteArray("<TfrxMemoView Name=\"Memo1\" ") + row.attributes + "/>"));
        TextObject* m = memo(report);
        ASSERT_NE(m, nullptr) << row.attributes;
        EXPECT_TRUE(row.check(*m)) << row.attributes;
    }
    EXPECT_TRUE(host.shown.isEmpty()) << host.shown.join(QLatin1Char('\n')).toStdString();
}

// A value the writer leaves out comes back as the object's own on reading, so only values equal to
// that may be left out.
TEST(TemplateFormat, EmptyTextsAndEmptyLastLinesSurviveASave)
{
    RecordingEngineHost host;
    const struct {
        const char* reportAttributes;
        const char* memoAttributes;
        std::function<bool(Report&)> check;
    } rows[] = {
        // Empty where the object starts with a text of its own.
        {"PrintOptions.Printer=\"\"", "", [](Report& r) { return r.printOptions().printer().isEmpty(); }},
        {"", "Font.Name=\"\" ParentFont=\"False\"", [](Report& r) { return memo(r)->font().name().isEmpty(); }},
        {"", "ExpressionDelimiters=\"\"", [](Report& r) { return memo(r)->expressionDelimiters().isEmpty(); }},
        // Lists whose last line is empty.
        {"ScriptText.Text=\"begin&#13;&#10;&#13;&#10;\"", "",
            [](Report& r) { return r.scriptText() == QStringList({QStringLiteral("begin"), QString()}); }},
        {"", "Text=\"a&#13;&#10;&#13;&#10;\"",
            [](Report& r) { return memo(r)->lines() == QStringList({QStringLiteral("a"), QString()}); }},
        {"", "Text=\"&#13;&#10;\"", [](Report& r) { return memo(r)->lines() == QStringList(QString()); }},
    };
    for (const auto& row : rows) {
        Report report;
        load(report, kDeclaration + "<TfrxReport " + row.reportAttributes
                + "><TfrxDataPage Name=\"Data\"/><TfrxReportPage Name=\"Page1\"><TfrxMemoView Name=\"Memo1\" "
                + row.memoAttributes + "/></TfrxReportPage></TfrxReport>");
        ASSERT_NE(memo(report), nullptr) << row.reportAttributes << row.memoAttributes;
        EXPECT_TRUE(row.check(report)) << "read: " << row.reportAttributes << row.memoAttributes;
        const QByteArray saved = save(report);
        Report again;
        load(again, saved);
        EXPECT_TRUE(row.check(again)) << "read back: " << saved.constData();
        EXPECT_EQ(save(again), saved);
    }
    EXPECT_TRUE(host.shown.isEmpty()) << host.shown.join(QLatin1Char('\n')).toStdString();
}

TEST(TemplateFormat, BadValuesAreCollectedAndReportedOnceAfterTheLoad)
{
    RecordingEngineHost host;
    Report report;
    load(report, pageWith("<TfrxMemoView Name=\"Memo1\" Left=\"1,234.5\" Top=\"3\" Frame.Typ=\"[ftLeft]\" "
                          "Tag=\"x\"/><TfrxMemoView Name=\"1x\" Left=\"4\"/><TfrxFoo Name=\"Foo1\"/>"
                          "<TfrxMemoView Name=\"Memo2\" Tag=\"x\"/>"));
    const TextObject* m = memo(report);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->left(), 0) << "a bad value leaves the property as it was";
    EXPECT_EQ(m->top(), 3) << "the scan goes on after a bad value";
    EXPECT_EQ(report.pages(1)->children().size(), 3u) << "the object with the bad name stays, unnamed";
    ASSERT_EQ(host.shown.size(), 1);
    EXPECT_EQ(host.shown.front(),
        QStringLiteral("Error|The following error(s) have occured:\r\n"
                       "''1x'' ist kein gültiger Komponentenname\r\n"
                       "'1.234.5' ist kein gültiger Gleitkommawert\r\n"
                       "'[ftLeft]' ist kein gültiger Integerwert\r\n"
                       "'x' ist kein gültiger Integerwert\r\n"
                       "Cannot find class TfrxFoo\r\n"));

    // The silent mode decides how they are reported.
    report.engineOptions().setNewSilentMode(SilentMode::Silent);
    load(report, pageWith("<TfrxMemoView Name=\"Memo1\" Tag=\"x\"/>"));
    EXPECT_EQ(host.shown.size(), 1);
    EXPECT_EQ(report.errors().strings(), QStringList(QStringLiteral("'x' ist kein gültiger Integerwert")));
    report.engineOptions().setNewSilentMode(SilentMode::Rethrow);
    EXPECT_THROW(load(report, pageWith("<TfrxMemoView Name=\"Memo1\" Tag=\"x\"/>")), Exception);
}

TEST(TemplateFormat, ABrokenFileLeavesOnlyTheDataPage)
{
    const struct {
        const char* bytes;
        const char* error;
        const char* pages;
    } rows[] = {
        {"<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?><TfrxReport><TfrxReportPage Name=\"P\" Left=\"1",
            "Invalid file format", "Data"},
        {"<TfrxReport/>", "Invalid file format", "Data"},
        {"<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>", "Cannot find class ", "Data"},
        // A file that ends among the children still loads what it holds.
        {"<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?><TfrxReport><TfrxReportPage Name=\"P\">"
         "<TfrxMemoView Name=\"M\"/>",
            "", "Data,P"},
        // Without a data page one is put in front; one after the report pages stays there.
        {"<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?><TfrxReport><TfrxReportPage Name=\"P\"/>"
         "</TfrxReport>",
            "", "Data,P"},
        {"<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?><TfrxReport><TfrxReportPage Name=\"Data\"/>"
         "</TfrxReport>",
            "", "DataPage1,Data"},
        {"<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?><TfrxReport><TfrxReportPage Name=\"P\"/>"
         "<TfrxDataPage Name=\"D\"/></TfrxReport>",
            "", "P,D"},
    };
    for (const auto& row : rows) {
        RecordingEngineHost host;
        Report report;
        load(report, row.bytes);
        EXPECT_EQ(report.errors().strings().join(QLatin1Char('|')), QString::fromUtf8(row.error)) << row.bytes;
        EXPECT_EQ(pageNames(report).join(QLatin1Char(',')), QString::fromUtf8(row.pages)) << row.bytes;
    }
}

TEST(TemplateFormat, ObjectsAreFoundAgainByNameAndReferencesAfterTheWholeFile)
{
    RecordingEngineHost host;
    Report report;
    load(report, pageWith("<TfrxMemoView Name=\"Memo1\" Left=\"1\" Top=\"2\" FlowTo=\"Memo2\"/>"
                          "<TfrxMemoView Name=\"memo1\" Left=\"5\"/>"
                          "<TfrxMemoView Name=\"Memo2\" FlowTo=\"Nowhere\"/>"
                          "<inherited Name=\"Gone\"/>"));
    ASSERT_EQ(report.pages(1)->children().size(), 2u);
    EXPECT_EQ(memo(report)->left(), 5);
    EXPECT_EQ(memo(report)->top(), 2);
    EXPECT_EQ(memo(report)->flowTo(), memo(report, QStringLiteral("Memo2")));
    EXPECT_TRUE(memo(report, QStringLiteral("Memo2"))->flowToName().isEmpty());
    EXPECT_TRUE(host.shown.isEmpty());
}

TEST(TemplateFormat, OldFormatFilesReadUmlautsRightOnlyInTexts)
{
    RecordingEngineHost host;
    Report report;
    load(report, "<?xml version=\"1.0\" encoding=\"utf-8\"?><TfrxReport><TfrxReportPage Name=\"Page1\">"
                 "<TfrxMemoView Name=\"Memo1\" TagStr=\"Geb\xC3\xBChr\" Text=\"Geb\xC3\xBChr\"/>"
                 "</TfrxReportPage></TfrxReport>");
    EXPECT_EQ(memo(report)->tagStr(), QStringLiteral("GebÃ¼hr"));
    EXPECT_EQ(memo(report)->lines(), QStringList(QStringLiteral("Gebühr")));
}

TEST(TemplateFormat, OldFormatTextsResolveCharacterReferencesAfterDecodingTheirBytes)
{
    const struct {
        QByteArray stored;
        QStringList lines;
    } cases[] = {
        {"&#228;&#13;&#10;&#x41;", {QStringLiteral("ä"), QStringLiteral("A")}},
        {"\xC3\x84\xC3\x96\xC3\x9C\xC3\xA4\xC3\xB6\xC3\xBC\xC3\x9F &#8364;", {QStringLiteral("ÄÖÜäöüß €")}},
        {"Geb\xC3\xBChr &#1071;", {QStringLiteral("Gebühr Я")}},
        {"&amp;#228; &quot;", {QStringLiteral("&#228; \"")}},
    };
    RecordingEngineHost host;
    for (const auto& [stored, lines] : cases) {
        for (const char* attribute : {"Text", "u"}) {
            Report report;
            load(report, "<?xml version=\"1.0\"?><TfrxReport><TfrxReportPage Name=\"Page1\"><TfrxMemoView Name=\"Memo1\" "
                    + QByteArray(attribute) + "=\"" + stored + "\"/></TfrxReportPage></TfrxReport>");
            ASSERT_NE(memo(report), nullptr);
            EXPECT_EQ(memo(report)->lines(), lines) << stored.constData() << " in " << attribute;
        }
    }
}

TEST(TemplateFormat, ATemplateCannotChangeHowTheLoadingReportBehaves)
{
    RecordingEngineHost host;
    Report report;
    report.previewOptions().setButtons(PreviewButtons::fromInt(3));
    report.engineOptions().setNewSilentMode(SilentMode::Silent);
    report.setIniFile(QStringLiteral("quittung.ini"));
    load(report, kDeclaration + "<TfrxReport PreviewOptions.Buttons=\"4095\" PreviewOptions.OutlineVisible=\"True\" "
                                "EngineOptions.SilentMode=\"False\" EngineOptions.DoublePass=\"True\" "
                                "IniFile=\"x\" PrintOptions.ShowDialog=\"False\" Name=\"Ignored\"/>");
    EXPECT_EQ(report.previewOptions().buttons(), 3);
    EXPECT_TRUE(report.engineOptions().silentMode());
    EXPECT_EQ(report.iniFile(), QStringLiteral("quittung.ini"));
    EXPECT_TRUE(report.previewOptions().outlineVisible());
    EXPECT_TRUE(report.engineOptions().doublePass());
    EXPECT_FALSE(report.printOptions().showDialog());
    EXPECT_TRUE(report.name().isEmpty());

    // A root named after another class is still the report.
    load(report, kDeclaration + "<TfrxReportPage ScriptLanguage=\"Other\" PaperWidth=\"100\"/>");
    EXPECT_EQ(report.scriptLanguage(), QStringLiteral("Other"));
}

TEST(TemplateFormat, TheVariablesTravelInTheExtraDataBlock)
{
    Report report;
    EXPECT_TRUE(save(report).contains(
        "PropData=\"0844617461736574730100095661726961626C65730100055374796C650100\""));
    Variable& header = report.variables().add();
    header.setName(QStringLiteral(" Netto"));
    header.setValue(Variant::null());
    Variable& rate = report.variables().add();
    rate.setName(QStringLiteral("Satz"));
    rate.setValue(Variant(QStringLiteral("19 % € \"")));
    const QByteArray bytes = save(report);
    EXPECT_TRUE(bytes.contains("095661726961626C65730101" "0617204E616D653D22204E6574746F222056616C75653D222200"));

    RecordingEngineHost host;
    Report again;
    load(again, bytes);
    ASSERT_EQ(again.variables().count(), 2);
    EXPECT_EQ(again.variables().item(0).name(), QStringLiteral(" Netto"));
    EXPECT_EQ(again.variables().item(0).value(), Variant(QString()));
    EXPECT_EQ(again.variables().item(1).value(), Variant(QStringLiteral("19 % € \"")));

    // A damaged block keeps what was read before the damage.
    load(again, kDeclaration + "<TfrxReport PropData=\"095661726961626C65730101" "0617204E616D653D22204E6574746F222056616C75653D22220001FF\"/>");
    EXPECT_EQ(again.variables().count(), 1);
    EXPECT_TRUE(host.shown.isEmpty());
}

TEST(TemplateFormat, AStoredBlockGivesAtMost5000Items)
{
    Report report;
    for (int i = 0; i < 6000; ++i)
        report.variables().setValue(QStringLiteral("V%1").arg(i), Variant(QStringLiteral("%1").arg(i)));
    RecordingEngineHost host;
    Report again;
    load(again, save(report));
    ASSERT_EQ(again.variables().count(), 5000);
    EXPECT_EQ(again.variables().item(4999).name(), QStringLiteral("V4999"));
    EXPECT_TRUE(host.shown.isEmpty());
}

TEST(TemplateFormat, KindsWithoutBehaviourKeepTheirAttributes)
{
    RecordingEngineHost host;
    Report report;
    const QByteArray file = kDeclaration
        + "<TfrxReport>\r\n"
          "  <TfrxDataPage Name=\"Data\" Height=\"1000\" Left=\"0\" Top=\"0\" Width=\"1000\"/>\r\n"
          "  <TfrxReportPage Name=\"Page1\" PaperWidth=\"210\" PaperHeight=\"297\" PaperSize=\"9\" LeftMargin=\"0\" "
          "RightMargin=\"0\" TopMargin=\"0\" BottomMargin=\"0\" ColumnWidth=\"0\" ColumnPositions.Text=\"\" "
          "HGuides.Text=\"\" VGuides.Text=\"\">\r\n"
          "    <TfrxMasterData Name=\"MasterData1\" Height=\"20\" Left=\"0\" Top=\"16\" Width=\"718\" "
          "RowCount=\"3\" DataSetName=\"Kunden &#38; Co\">\r\n"
          "      <TfrxMemoView Name=\"Memo1\" Left=\"0\" Top=\"0\" Width=\"10\" Height=\"10\" ShowHint=\"False\" "
          "Text=\"\"/>\r\n"
          "    </TfrxMasterData>\r\n"
          "  </TfrxReportPage>\r\n"
          "</TfrxReport>\r\n";
    load(report, file);
    EXPECT_EQ(memo(report)->absTop(), 16);
    const QByteArray saved = save(report);
    EXPECT_TRUE(saved.contains("RowCount=\"3\" DataSetName=\"Kunden &#38; Co\">")) << saved.toStdString();
}

TEST(TemplateFormat, FilesAreOpenedAndWrittenWithClearErrors)
{
    QTemporaryDir folder;
    Report report;
    report.add<ReportPage>()->createUniqueName();
    EXPECT_FALSE(report.loadFromFile(folder.filePath(QStringLiteral("Fehlt.Dat"))));
    EXPECT_EQ(report.pagesCount(), 0) << "a missing template leaves the report empty";
    EXPECT_TRUE(report.fileName().isEmpty());

    report.add<ReportPage>()->createUniqueName();
    const QString path = folder.filePath(QStringLiteral("Quittung.Dat"));
    report.saveToFile(path);
    Report again;
    EXPECT_TRUE(again.loadFromFile(path));
    EXPECT_EQ(again.fileName(), path);
    EXPECT_EQ(pageNames(again), QStringList({QStringLiteral("Data"), QStringLiteral("Page1")}));

    const QString nowhere = folder.filePath(QStringLiteral("fehlt/Quittung.Dat"));
    try {
        report.saveToFile(nowhere);
        ADD_FAILURE();
    } catch (const Exception& error) {
        EXPECT_TRUE(error.message().startsWith(QStringLiteral("Datei \"%1\" kann nicht erstellt werden. ").arg(nowhere)))
            << error.what();
    }
}

TEST(TemplateFormat, AssignCopiesPropertiesButNotTheName)
{
    Report report;
    auto* page = report.add<ReportPage>();
    auto* source = page->add<TextObject>();
    source->setName(QStringLiteral("Quelle"));
    source->setBounds(1, 2, 3, 4);
    source->setText(QStringLiteral("Für\r\n[QID]"));
    source->font().setSize(16);
    source->frame().setSides(AllFrameSides);
    source->setGapX(5);
    auto* target = page->add<TextObject>();
    target->setName(QStringLiteral("Ziel"));
    target->setGapY(7);
    target->assign(*source);
    EXPECT_EQ(target->name(), QStringLiteral("Ziel"));
    EXPECT_EQ(target->lines(), source->lines());
    EXPECT_EQ(target->font().size(), 16);
    EXPECT_EQ(target->frame().sides(), 15);
    EXPECT_EQ(target->gapX(), 5);
    EXPECT_EQ(target->gapY(), 1) << "defaults are copied too";
    EXPECT_EQ(target->top(), 2);
}

TEST(TemplateFormat, TheBuiltinDesignSavesAsItsReferenceFileAndBack)
{
    const QByteArray reference = readFile(QStringLiteral(QUITTUNG_TEST_DATA "/builtin_design.xml"));
    ASSERT_FALSE(reference.isEmpty());
    Report report;
    applyBuiltinDesign(report);
    const QByteArray saved = save(report);
    EXPECT_EQ(saved, reference);

    RecordingEngineHost host;
    Report again;
    load(again, reference);
    EXPECT_TRUE(host.shown.isEmpty()) << host.shown.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(save(again), reference);
}
