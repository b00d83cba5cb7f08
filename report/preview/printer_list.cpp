// The system's printers as Qt's print support finds them (CUPS on Linux), and their devices.
#include "report/preview/printer_list.h"

#include "report/document/engine_host.h"
#include "report/document/engine_messages.h"

#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>

#include <cmath>

namespace quittung::report {

Printer::Printer(QString name, QString port) : m_name(std::move(name)), m_port(std::move(port)) {}

Printer::~Printer() = default;

bool Printer::initialise()
{
    if (!m_device) {
        m_device = std::make_unique<QPrinter>(QPrinter::HighResolution);
        m_device->setPrinterName(m_name);
        // Drawing starts at the sheet's corner, so report margins are measured from its edge
        // whatever the printer cannot reach.
        m_device->setFullPage(true);
    }
    readDeviceValues();
    m_initialised = m_device->isValid() && m_dpiX > 0 && m_dpiY > 0;
    return m_initialised;
}

void Printer::readDeviceValues()
{
    m_dpiX = m_device->logicalDpiX();
    m_dpiY = m_device->logicalDpiY();
    QPageLayout layout = m_device->pageLayout();
    layout.setUnits(QPageLayout::Millimeter);
    const QRectF paper = layout.fullRect();
    m_paperWidth = static_cast<int>(std::lround(paper.width()));
    m_paperHeight = static_cast<int>(std::lround(paper.height()));
    const QMarginsF least = layout.minimumMargins();
    m_margins = QMarginsF(std::round(least.left()), std::round(least.top()), std::round(least.right()),
        std::round(least.bottom()));
}

PrinterList& PrinterList::instance()
{
    static PrinterList list;
    return list;
}

PrinterList::PrinterList()
{
    const QList<QPrinterInfo> system = QPrinterInfo::availablePrinters();
    for (const QPrinterInfo& info : system)
        m_printers.push_back(std::make_unique<Printer>(info.printerName(), info.location()));
    m_physical = !m_printers.empty();
    if (!m_physical) {
        m_printers.push_back(std::make_unique<Printer>(QStringLiteral("Virtual"), QString()));
        return;
    }
    const int byDefault = indexOf(QPrinterInfo::defaultPrinterName());
    setCurrent(byDefault < 0 ? 0 : byDefault);
}

QStringList PrinterList::names() const
{
    QStringList result;
    for (const auto& printer : m_printers)
        result << printer->name();
    return result;
}

int PrinterList::indexOf(const QString& name) const
{
    for (int i = 0; i < count(); ++i) {
        if (m_printers[static_cast<size_t>(i)]->name().compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

void PrinterList::setCurrent(int index)
{
    if (index < 0 || index >= count())
        return;
    m_current = index;
    if (m_physical && !current().isInitialised() && !current().initialise()) {
        engineHost().showMessage(engineMessage(QStringLiteral("mbError")),
            engineMessage(QStringLiteral("prInvalidPrinter")), EngineHost::Icon::Error);
    }
}

} // namespace quittung::report
