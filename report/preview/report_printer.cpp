// Printing prepared pages on the system's printers.
#include "report/preview/report_printer.h"

#include "report/document/engine_host.h"
#include "report/document/engine_messages.h"
#include "report/document/page.h"
#include "report/document/report.h"
#include "report/engine/pages/report_preparer.h"
#include "report/engine/pages/view_drawing.h"
#include "report/export/export_filter.h"
#include "report/preview/print_dialog.h"
#include "report/preview/printer_list.h"

#include <QApplication>
#include <QFileInfo>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>

#include <cmath>
#include <optional>

namespace quittung::report {

namespace {

// Paper bins are stored as the Windows DMBIN codes, which Qt's paper sources follow one below.
std::optional<QPrinter::PaperSource> paperSourceOf(int bin)
{
    constexpr int automatic = 7;
    if (bin == automatic || bin < 1)
        return std::nullopt; // the printer's own choice
    if (bin <= 11)
        return static_cast<QPrinter::PaperSource>(bin - 1);
    if (bin == 14)
        return QPrinter::Cassette;
    if (bin == 15)
        return QPrinter::FormSource;
    return std::nullopt;
}

bool twoSided(DuplexMode mode)
{
    return mode == DuplexMode::Vertical || mode == DuplexMode::Horizontal;
}

// What a page asks of the printer; a page that asks something else sets the printer up anew.
struct PaperSetup {
    int paperSize = 0;
    long width = 0;
    long height = 0;
    int bin = 0;
    PageOrientation orientation = PageOrientation::Portrait;
    DuplexMode duplex = DuplexMode::None;

    bool operator==(const PaperSetup&) const = default;
};

class PrintJob {
public:
    PrintJob(ReportPreparer& engine, Printer& printer, const PrintOptions& options)
        : m_pages(engine.preparedPages())
        , m_host(engine.host())
        , m_report(engine.report())
        , m_printer(printer)
        , m_options(options)
        , m_copies(std::max(1, options.copies()))
        , m_progress(engine.report().showProgress())
    {
    }

    void run(const PageSelection& selection)
    {
        std::vector<int> pages = selection.pages();
        if (m_options.reverse())
            std::reverse(pages.begin(), pages.end());
        if (m_progress)
            m_host.progressStart(QString());
        if (m_options.collate()) {
            for (int copy = 1; copy <= m_copies && !m_stopped; ++copy)
                printSequence(pages, 1);
        } else {
            printSequence(pages, m_copies);
        }
        if (m_painter.isActive())
            m_painter.end();
        if (m_progress)
            m_host.progressStop();
    }

private:
    void printSequence(const std::vector<int>& pages, int deviceCopies)
    {
        int parity = 0;
        std::optional<DuplexMode> sidesBefore;
        for (const int number : pages) {
            if ((m_options.printPages() == PrintPages::Odd && number % 2 == 0)
                || (m_options.printPages() == PrintPages::Even && number % 2 == 1))
                continue;
            if (m_progress && m_host.progressTerminated()) {
                abort();
                return;
            }
            const ReportPage& page = *m_pages.page(number - 1);
            const DuplexMode sides = duplexOf(page);
            if (sides != sidesBefore)
                parity = 0;
            sidesBefore = sides;
            printPage(number - 1, page, sides, deviceCopies);
            if (twoSided(sides))
                parity ^= 1;
        }
        // Each copy of a two-sided printout starts on a sheet of its own.
        if (parity == 1 && m_painter.isActive())
            m_printer.device().newPage();
    }

    DuplexMode duplexOf(const ReportPage& page) const
    {
        const int chosen = m_options.duplex();
        return chosen > 0 && chosen <= 3 ? static_cast<DuplexMode>(chosen) : page.duplex();
    }

    void printPage(int index, const ReportPage& page, DuplexMode sides, int deviceCopies)
    {
        QPrinter& device = m_printer.device();
        const PaperSetup setup{page.paperSize(), std::lround(page.paperWidth()), std::lround(page.paperHeight()),
            page.bin(), page.orientation(), sides};
        if (!m_setup || *m_setup != setup) {
            setUp(page, setup, deviceCopies);
            m_setup = setup;
        }
        if (!m_painter.isActive()) {
            device.setDocName(title());
            device.setOutputFileName(m_options.prnOutFileName());
            if (!m_painter.begin(&device)) {
                m_stopped = true;
                return;
            }
        } else {
            device.newPage();
        }
        // The painter's origin is where the device puts it; the page's paper corner goes onto the
        // sheet's corner, so report margins are measured from the sheet's edge.
        const QRect paper = device.paperRect(QPrinter::DevicePixel).toRect();
        const QRect origin = device.pageRect(QPrinter::DevicePixel).toRect();
        drawPage(m_pages, index, m_painter, m_printer.dpiX() / 96.0, m_printer.dpiY() / 96.0,
            paper.left() - origin.left(), paper.top() - origin.top());
        if (m_progress) {
            m_host.progressSetMessage(engineMessage(QStringLiteral("prPrintingPage"))
                                                .replace(QStringLiteral("%d"), QString::number(index + 1)));
        }
        m_host.processMessages();
    }

    void setUp(const ReportPage& page, const PaperSetup& setup, int deviceCopies)
    {
        QPrinter& device = m_printer.device();
        const bool landscape = setup.orientation == PageOrientation::Landscape;
        const QSizeF portrait = landscape ? QSizeF(page.paperHeight(), page.paperWidth())
                                          : QSizeF(page.paperWidth(), page.paperHeight());
        device.setPageSize(QPageSize(portrait, QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch));
        device.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
        // Copies, bin and sides belong to the whole job once it has started.
        if (!m_painter.isActive()) {
            device.setCopyCount(deviceCopies);
            device.setCollateCopies(false);
            if (const auto source = paperSourceOf(setup.bin))
                device.setPaperSource(*source);
            switch (setup.duplex) {
            case DuplexMode::None:
                break;
            case DuplexMode::Vertical:
                device.setDuplex(QPrinter::DuplexLongSide);
                break;
            case DuplexMode::Horizontal:
                device.setDuplex(QPrinter::DuplexShortSide);
                break;
            case DuplexMode::Simplex:
                device.setDuplex(QPrinter::DuplexNone);
                break;
            }
        }
        m_printer.readDeviceValues();
    }

    QString title() const
    {
        if (!m_report.reportOptions().name().isEmpty())
            return m_report.reportOptions().name();
        if (!m_report.fileName().isEmpty())
            return m_report.fileName();
        return QStringLiteral("Quittung");
    }

    // Qt's print engines cannot take back a job they have begun; what was drawn up to the Cancel
    // is all the job holds.
    void abort()
    {
        m_stopped = true;
        if (m_painter.isActive() && m_printer.device().abort())
            m_painter.end();
    }

    const PreparedPages& m_pages;
    EngineHost& m_host;
    const Report& m_report;
    Printer& m_printer;
    const PrintOptions& m_options;
    const int m_copies;
    const bool m_progress;
    QPainter m_painter;
    std::optional<PaperSetup> m_setup;
    bool m_stopped = false;
};

} // namespace

bool printReport(ReportPreparer& engine, int currentPage)
{
    return printReport(engine, engine.report().printOptions(), currentPage);
}

bool printReport(ReportPreparer& engine, PrintOptions options, int currentPage)
{
    PrinterList& printers = PrinterList::instance();
    if (!printers.hasPhysicalPrinters()) {
        engine.host().showMessage(engineMessage(QStringLiteral("mbError")),
            engineMessage(QStringLiteral("prNoPrinters")), EngineHost::Icon::Error);
        return false;
    }
    // The dialog's choices last for this print only, and the report is only read.
    if (const int named = printers.indexOf(options.printer()); named >= 0)
        printers.setCurrent(named);
    if (options.showDialog()) {
        PrintDialog dialog(options, currentPage, QApplication::activeWindow());
        if (dialog.exec() != QDialog::Accepted)
            return false;
    }
    Printer& printer = printers.current();
    if (!printer.isInitialised()) {
        engine.host().showMessage(engineMessage(QStringLiteral("mbError")),
            engineMessage(QStringLiteral("prInvalidPrinter")), EngineHost::Icon::Error);
        return true;
    }
    const int pageCount = engine.preparedPages().count();
    const PageSelection selection = parsePageNumbers(options.pageNumbers(), pageCount);
    if (pageCount > 0)
        PrintJob(engine, printer, options).run(selection);
    return true;
}

} // namespace quittung::report
