#include "report/document/band.h"
#include "report/document/builtin_design.h"
#include "report/document/engine_host.h"
#include "report/document/memo_view.h"
#include "report/document/page.h"
#include "report/document/report.h"
#include "report/document/xml_serializer.h"
#include "runtime/exception.h"
#include "tests/support/qt_printers.h"
#include "tests/support/recording_engine_host.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quittung;

namespace {

const QByteArray kDeclaration = "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>\r\n";

void load(TfrxReport& report, const QByteArray& bytes)
{
    QByteArray data = bytes;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    report.LoadFromStream(buffer);
}

QByteArray save(TfrxReport& report)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    report.SaveToStream(buffer);
    return bytes;
}

// A template with one report page holding the given objects.
QByteArray pageWith(const QByteArray& objects)
{
    return kDeclaration + "<TfrxReport><TfrxDataPage Name=\"Data\"/><TfrxReportPage Name=\"Page1\">" + objects
        + "</TfrxReportPage></TfrxReport>";
}

TfrxMemoView* memo(TfrxReport& report, const QString& name = QStringLiteral("Memo1"))
{
    return dynamic_cast<TfrxMemoView*>(report.FindObject(name));
}

QStringList pageNames(const TfrxReport& report)
{
    QStringList names;
    for (const auto& page : report.Children())
        names << page->Name();
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
    TfrxReport report;
    load(report, example);
    EXPECT_TRUE(host.shown.isEmpty()) << host.shown.join(QLatin1Char('\n')).toStdString();
    ASSERT_EQ(pageNames(report), QStringList({QStringLiteral("Data"), QStringLiteral("Page1")}));
    const TfrxReportPage* page = dynamic_cast<TfrxReportPage*>(report.Pages(1));
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->Width(), 794);
    EXPECT_EQ(page->Height(), 1123);
    EXPECT_EQ(page->LeftMargin(), 10);
    const TfrxMemoView* memo3 = memo(report, QStringLiteral("Memo3"));
    ASSERT_NE(memo3, nullptr);
    EXPECT_EQ(memo3->Memo(), QStringList({QStringLiteral("Netto :"), QStringLiteral("+ [MwSt] % MwSt. :")}));
    EXPECT_EQ(memo3->HAlign(), TfrxHAlign::haRight);
    EXPECT_EQ(memo3->Font().Size(), 10);
    EXPECT_EQ(memo3->Left(), 362.83488);
    EXPECT_EQ(save(report), example);
}

TEST(TemplateFormat, ValuesAreReadByTheirType)
{
    RecordingEngineHost host;
    TfrxReport report;
    const struct {
        const char* attributes;
        std::function<bool(TfrxMemoView&)> check;
    } rows[] = {
        {"Left=\"124,72449\"", [](TfrxMemoView& m) { return m.Left() == 124.72449; }},
        {"Left=\"124.72449\"", [](TfrxMemoView& m) { return m.Left() == 124.72449; }},
        {"Left=\" 1 5 \"", [](TfrxMemoView& m) { return m.Left() == 15; }},
        {"Left=\"1E2\"", [](TfrxMemoView& m) { return m.Left() == 100; }},
        {"Frame.Typ=\"15\"", [](TfrxMemoView& m) { return m.Frame().Typ() == 15; }},
        {"Frame.Typ=\"$F\"", [](TfrxMemoView& m) { return m.Frame().Typ() == 15; }},
        {"HAlign=\"HARIGHT\"", [](TfrxMemoView& m) { return m.HAlign() == TfrxHAlign::haRight; }},
        {"HAlign=\"1\"", [](TfrxMemoView& m) { return m.HAlign() == TfrxHAlign::haRight; }},
        {"WordWrap=\"false\"", [](TfrxMemoView& m) { return !m.WordWrap(); }},
        {"WordWrap=\"0\"", [](TfrxMemoView& m) { return !m.WordWrap(); }},
        {"Color=\"$FF00000F\"", [](TfrxMemoView& m) { return m.Color() == clBtnFace; }},
        {"Font.Style=\"3\" ParentFont=\"False\"", [](TfrxMemoView& m) { return m.Font().Style() == 3 && !m.ParentFont(); }},
        {"Text=\"A&#38;B\"", [](TfrxMemoView& m) { return m.Text() == QLatin1String("A&B\r\n"); }},
        {"Text=\"&quot;x&quot;\"", [](TfrxMemoView& m) { return m.Text() == QLatin1String("\"x\"\r\n"); }},
        {"Text=\"A & B\"", [](TfrxMemoView& m) { return m.Text() == QLatin1String("A & B\r\n"); }},
        {"Frame.LeftLine.Width=\"3\" Frame.Width=\"2\"",
            [](TfrxMemoView& m) { return m.Frame().LeftLine().Width() == 2; }},
        {"Unknown=\"1\" Font.Nothing=\"2\" Top=\"7\"", [](TfrxMemoView& m) { return m.Top() == 7; }},
    };
    for (const auto& row : rows) {
        load(report, pageWith(QByteArray("<TfrxMemoView Name=\"Memo1\" ") + row.attributes + "/>"));
        TfrxMemoView* m = memo(report);
        ASSERT_NE(m, nullptr) << row.attributes;
        EXPECT_TRUE(row.check(*m)) << row.attributes;
    }
    EXPECT_TRUE(host.shown.isEmpty()) << host.shown.join(QLatin1Char('\n')).toStdString();
}

TEST(TemplateFormat, BadValuesAreCollectedAndReportedOnceAfterTheLoad)
{
    RecordingEngineHost host;
    TfrxReport report;
    load(report, pageWith("<TfrxMemoView Name=\"Memo1\" Left=\"1,234.5\" Top=\"3\" Frame.Typ=\"[ftLeft]\" "
                          "Tag=\"x\"/><TfrxMemoView Name=\"1x\" Left=\"4\"/><TfrxFoo Name=\"Foo1\"/>"
                          "<TfrxMemoView Name=\"Memo2\" Tag=\"x\"/>"));
    const TfrxMemoView* m = memo(report);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->Left(), 0) << "a bad value leaves the property as it was";
    EXPECT_EQ(m->Top(), 3) << "the scan goes on after a bad value";
    EXPECT_EQ(report.Pages(1)->Children().size(), 3u) << "the object with the bad name stays, unnamed";
    ASSERT_EQ(host.shown.size(), 1);
    EXPECT_EQ(host.shown.front(),
        QStringLiteral("Error|The following error(s) have occured:\r\n"
                       "''1x'' ist kein gültiger Komponentenname\r\n"
                       "'1.234.5' ist kein gültiger Gleitkommawert\r\n"
                       "'[ftLeft]' ist kein gültiger Integerwert\r\n"
                       "'x' ist kein gültiger Integerwert\r\n"
                       "Cannot find class TfrxFoo\r\n"));

    // The silent mode decides how they are reported.
    report.EngineOptions().SetNewSilentMode(TfrxSilentMode::simSilent);
    load(report, pageWith("<TfrxMemoView Name=\"Memo1\" Tag=\"x\"/>"));
    EXPECT_EQ(host.shown.size(), 1);
    EXPECT_EQ(report.Errors().Strings(), QStringList(QStringLiteral("'x' ist kein gültiger Integerwert")));
    report.EngineOptions().SetNewSilentMode(TfrxSilentMode::simReThrow);
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
        TfrxReport report;
        load(report, row.bytes);
        EXPECT_EQ(report.Errors().Strings().join(QLatin1Char('|')), QString::fromUtf8(row.error)) << row.bytes;
        EXPECT_EQ(pageNames(report).join(QLatin1Char(',')), QString::fromUtf8(row.pages)) << row.bytes;
    }
}

TEST(TemplateFormat, ObjectsAreFoundAgainByNameAndReferencesAfterTheWholeFile)
{
    RecordingEngineHost host;
    TfrxReport report;
    load(report, pageWith("<TfrxMemoView Name=\"Memo1\" Left=\"1\" Top=\"2\" FlowTo=\"Memo2\"/>"
                          "<TfrxMemoView Name=\"memo1\" Left=\"5\"/>"
                          "<TfrxMemoView Name=\"Memo2\" FlowTo=\"Nowhere\"/>"
                          "<inherited Name=\"Gone\"/>"));
    ASSERT_EQ(report.Pages(1)->Children().size(), 2u);
    EXPECT_EQ(memo(report)->Left(), 5);
    EXPECT_EQ(memo(report)->Top(), 2);
    EXPECT_EQ(memo(report)->FlowTo(), memo(report, QStringLiteral("Memo2")));
    EXPECT_TRUE(memo(report, QStringLiteral("Memo2"))->FlowToName().isEmpty());
    EXPECT_TRUE(host.shown.isEmpty());
}

TEST(TemplateFormat, OldFormatFilesReadUmlautsRightOnlyInTexts)
{
    RecordingEngineHost host;
    TfrxReport report;
    load(report, "<?xml version=\"1.0\" encoding=\"utf-8\"?><TfrxReport><TfrxReportPage Name=\"Page1\">"
                 "<TfrxMemoView Name=\"Memo1\" TagStr=\"Geb\xC3\xBChr\" Text=\"Geb\xC3\xBChr\"/>"
                 "</TfrxReportPage></TfrxReport>");
    EXPECT_EQ(memo(report)->TagStr(), QStringLiteral("GebÃ¼hr"));
    EXPECT_EQ(memo(report)->Memo(), QStringList(QStringLiteral("Gebühr")));
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
            TfrxReport report;
            load(report, "<?xml version=\"1.0\"?><TfrxReport><TfrxReportPage Name=\"Page1\"><TfrxMemoView Name=\"Memo1\" "
                    + QByteArray(attribute) + "=\"" + stored + "\"/></TfrxReportPage></TfrxReport>");
            ASSERT_NE(memo(report), nullptr);
            EXPECT_EQ(memo(report)->Memo(), lines) << stored.constData() << " in " << attribute;
        }
    }
}

TEST(TemplateFormat, ATemplateCannotChangeHowTheLoadingReportBehaves)
{
    RecordingEngineHost host;
    TfrxReport report;
    report.PreviewOptions().SetButtons(3);
    report.EngineOptions().SetNewSilentMode(TfrxSilentMode::simSilent);
    report.SetIniFile(QStringLiteral("quittung.ini"));
    load(report, kDeclaration + "<TfrxReport PreviewOptions.Buttons=\"4095\" PreviewOptions.OutlineVisible=\"True\" "
                                "EngineOptions.SilentMode=\"False\" EngineOptions.DoublePass=\"True\" "
                                "IniFile=\"x\" PrintOptions.ShowDialog=\"False\" Name=\"Ignored\"/>");
    EXPECT_EQ(report.PreviewOptions().Buttons(), 3);
    EXPECT_TRUE(report.EngineOptions().SilentMode());
    EXPECT_EQ(report.IniFile(), QStringLiteral("quittung.ini"));
    EXPECT_TRUE(report.PreviewOptions().OutlineVisible());
    EXPECT_TRUE(report.EngineOptions().DoublePass());
    EXPECT_FALSE(report.PrintOptions().ShowDialog());
    EXPECT_TRUE(report.Name().isEmpty());

    // A root named after another class is still the report.
    load(report, kDeclaration + "<TfrxReportPage ScriptLanguage=\"Other\" PaperWidth=\"100\"/>");
    EXPECT_EQ(report.ScriptLanguage(), QStringLiteral("Other"));
}

TEST(TemplateFormat, TheVariablesTravelInTheExtraDataBlock)
{
    TfrxReport report;
    EXPECT_TRUE(save(report).contains(
        "PropData=\"0844617461736574730100095661726961626C65730100055374796C650100\""));
    TfrxVariable& header = report.Variables().Add();
    header.SetName(QStringLiteral(" Netto"));
    header.SetValue(Variant::null());
    TfrxVariable& rate = report.Variables().Add();
    rate.SetName(QStringLiteral("Satz"));
    rate.SetValue(Variant(QStringLiteral("19 % € \"")));
    const QByteArray bytes = save(report);
    EXPECT_TRUE(bytes.contains("095661726961626C65730101" "0617204E616D653D22204E6574746F222056616C75653D222200"));

    RecordingEngineHost host;
    TfrxReport again;
    load(again, bytes);
    ASSERT_EQ(again.Variables().Count(), 2);
    EXPECT_EQ(again.Variables().Items(0).Name(), QStringLiteral(" Netto"));
    EXPECT_EQ(again.Variables().Items(0).Value(), Variant(QString()));
    EXPECT_EQ(again.Variables().Items(1).Value(), Variant(QStringLiteral("19 % € \"")));

    // A damaged block keeps what was read before the damage.
    load(again, kDeclaration + "<TfrxReport PropData=\"095661726961626C65730101" "0617204E616D653D22204E6574746F222056616C75653D22220001FF\"/>");
    EXPECT_EQ(again.Variables().Count(), 1);
    EXPECT_TRUE(host.shown.isEmpty());
}

TEST(TemplateFormat, KindsWithoutBehaviourKeepTheirAttributes)
{
    RecordingEngineHost host;
    TfrxReport report;
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
    EXPECT_EQ(memo(report)->AbsTop(), 16);
    const QByteArray saved = save(report);
    EXPECT_TRUE(saved.contains("RowCount=\"3\" DataSetName=\"Kunden &#38; Co\">")) << saved.toStdString();
}

TEST(TemplateFormat, FilesAreOpenedAndWrittenWithClearErrors)
{
    QTemporaryDir folder;
    TfrxReport report;
    report.Add<TfrxReportPage>()->CreateUniqueName();
    EXPECT_FALSE(report.LoadFromFile(folder.filePath(QStringLiteral("Fehlt.Dat"))));
    EXPECT_EQ(report.PagesCount(), 0) << "a missing template leaves the report empty";
    EXPECT_TRUE(report.FileName().isEmpty());

    report.Add<TfrxReportPage>()->CreateUniqueName();
    const QString path = folder.filePath(QStringLiteral("Quittung.Dat"));
    report.SaveToFile(path);
    TfrxReport again;
    EXPECT_TRUE(again.LoadFromFile(path));
    EXPECT_EQ(again.FileName(), path);
    EXPECT_EQ(pageNames(again), QStringList({QStringLiteral("Data"), QStringLiteral("Page1")}));

    const QString nowhere = folder.filePath(QStringLiteral("fehlt/Quittung.Dat"));
    try {
        report.SaveToFile(nowhere);
        ADD_FAILURE();
    } catch (const Exception& error) {
        EXPECT_TRUE(error.message().startsWith(QStringLiteral("Datei \"%1\" kann nicht erstellt werden. ").arg(nowhere)))
            << error.what();
    }
}

TEST(TemplateFormat, AssignCopiesPropertiesButNotTheName)
{
    TfrxReport report;
    auto* page = report.Add<TfrxReportPage>();
    auto* source = page->Add<TfrxMemoView>();
    source->SetName(QStringLiteral("Quelle"));
    source->SetBounds(1, 2, 3, 4);
    source->SetText(QStringLiteral("Für\r\n[QID]"));
    source->Font().SetSize(16);
    source->Frame().SetTyp(15);
    source->SetGapX(5);
    auto* target = page->Add<TfrxMemoView>();
    target->SetName(QStringLiteral("Ziel"));
    target->SetGapY(7);
    target->Assign(*source);
    EXPECT_EQ(target->Name(), QStringLiteral("Ziel"));
    EXPECT_EQ(target->Memo(), source->Memo());
    EXPECT_EQ(target->Font().Size(), 16);
    EXPECT_EQ(target->Frame().Typ(), 15);
    EXPECT_EQ(target->GapX(), 5);
    EXPECT_EQ(target->GapY(), 1) << "defaults are copied too";
    EXPECT_EQ(target->Top(), 2);
}

TEST(TemplateFormat, TheBuiltinDesignSavesAsItsReferenceFileAndBack)
{
    const QByteArray reference = readFile(QStringLiteral(QUITTUNG_TEST_DATA "/builtin_design.xml"));
    ASSERT_FALSE(reference.isEmpty());
    TfrxReport report;
    ApplyBuiltinDesign(report);
    const QByteArray saved = save(report);
    EXPECT_EQ(saved, reference);

    RecordingEngineHost host;
    TfrxReport again;
    load(again, reference);
    EXPECT_TRUE(host.shown.isEmpty()) << host.shown.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(save(again), reference);
}
