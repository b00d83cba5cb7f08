#include "report/document/report.h"
#include "report/engine/pages/report_preparer.h"
#include "report/export/image/image_export.h"
#include "report/export/pdf/pdf_export.h"
#include "tools/example_receipt.h"

#include <QBuffer>
#include <QUuid>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

using namespace quittung;
using namespace quittung::report;

namespace {

const QDateTime kNow(QDate(2020, 7, 3), QTime(10, 30));

QByteArray saved(const ReportObject& object)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    object.saveToStream(buffer);
    return bytes;
}

// One receipt of a batch: its pages as saved, its PDF and its JPEG.
struct Made {
    QByteArray pages;
    QByteArray pdf;
    QByteArray jpeg;
    bool operator==(const Made&) const = default;
};

// Prepares receipt n from the template and exports it, all with objects of the caller's own.
Made makeReceipt(const Report& shared, int n)
{
    ReportPreparer engine(shared, [] { return kNow; });
    engine.setValueSource([n](const QString& name, Variant& value) {
        if (name == QLatin1String("QID"))
            value = Variant(QString::number(n));
        else if (name == QLatin1String("Von"))
            value = Variant(QStringLiteral("Kunde Nr. %1 – Müller & Söhne").arg(n));
        else
            answerExampleReceipt(name, value);
    });
    Made made;
    if (!engine.prepareReport())
        return made;
    for (int i = 0; i < engine.preparedPages().count(); ++i)
        made.pages += saved(*engine.preparedPages().page(i));

    PdfExport pdf;
    pdf.setShowDialog(false);
    pdf.setShowProgress(false);
    pdf.setEmbeddedFonts(true);
    // The file's identifier is random.
    pdf.setUuidSource([n] { return QUuid(uint(n), 0, 0, 0, 0, 0, 0, 0, 0, 0, 0); });
    QBuffer pdfBuffer(&made.pdf);
    pdfBuffer.open(QIODevice::WriteOnly);
    pdf.setStream(&pdfBuffer);
    exportReport(engine, pdf);

    JpegExport jpeg;
    jpeg.setShowDialog(false);
    jpeg.setShowProgress(false);
    QBuffer jpegBuffer(&made.jpeg);
    jpegBuffer.open(QIODevice::WriteOnly);
    jpeg.setStream(&jpegBuffer);
    exportReport(engine, jpeg);
    return made;
}

} // namespace

// A batch reads its template once and its threads prepare and export from that one object at the
// same time: each gets what one thread alone gets, and the template stays as it was read.
TEST(SharedTemplate, FourThreadsMakeFromOneTemplateWhatOneThreadMakes)
{
    Report report([] { return kNow; });
    ASSERT_TRUE(loadExampleReceipt(report, QStringLiteral(QUITTUNG_FORMS_DIR "/QuittungA4.Dat"), true));
    const Report& shared = report;
    const QByteArray before = saved(shared);

    constexpr int kThreads = 4;
    constexpr int kEach = 3;
    std::vector<Made> alone;
    for (int n = 0; n < kThreads * kEach; ++n)
        alone.push_back(makeReceipt(shared, n));
    ASSERT_FALSE(alone.front().pages.isEmpty());
    ASSERT_TRUE(alone.front().pdf.startsWith("%PDF"));
    ASSERT_TRUE(alone.front().jpeg.startsWith("\xFF\xD8"));
    ASSERT_NE(alone[0].pdf, alone[1].pdf);

    std::vector<Made> together(alone.size());
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kEach; ++i)
                together[std::size_t(t * kEach + i)] = makeReceipt(shared, t * kEach + i);
        });
    }
    for (std::thread& thread : threads)
        thread.join();

    for (std::size_t n = 0; n < alone.size(); ++n) {
        EXPECT_EQ(together[n].pages, alone[n].pages) << n;
        EXPECT_EQ(together[n].pdf, alone[n].pdf) << n;
        EXPECT_EQ(together[n].jpeg, alone[n].jpeg) << n;
    }
    EXPECT_EQ(saved(shared), before);
}
