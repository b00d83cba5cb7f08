#pragma once

#include <QMarginsF>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class QPrinter;

namespace quittung::report {

// One printer of the system and the device that prints on it. Its properties are read when it is
// selected; a printer that reports no resolution stays uninitialised and prints nothing.
class Printer {
public:
    Printer(QString name, QString port);
    ~Printer();
    Printer(const Printer&) = delete;
    Printer& operator=(const Printer&) = delete;

    const QString& name() const { return m_name; }
    // Where the printer is, as the system describes it.
    const QString& port() const { return m_port; }

    // Opens the device with its defaults and reads resolution, paper and margins; false (and
    // uninitialised) when the device reports no resolution.
    bool initialise();
    bool isInitialised() const { return m_initialised; }
    // Reads resolution, paper and margins again after the device was set up for another paper.
    void readDeviceValues();

    int dpiX() const { return m_dpiX; }
    int dpiY() const { return m_dpiY; }
    // Whole millimetres, each rounded on its own.
    int paperWidth() const { return m_paperWidth; }
    int paperHeight() const { return m_paperHeight; }
    const QMarginsF& margins() const { return m_margins; }

    // Only after initialise().
    QPrinter& device() { return *m_device; }

private:
    QString m_name;
    QString m_port;
    std::unique_ptr<QPrinter> m_device;
    bool m_initialised = false;
    int m_dpiX = 0;
    int m_dpiY = 0;
    int m_paperWidth = 0;
    int m_paperHeight = 0;
    QMarginsF m_margins;
};

// The system's printers, enumerated on first use and kept for the whole process, so a printer
// chosen in the print dialog stays current for the next print. Without any printer the list holds
// the placeholder "Virtual", which prints nothing.
class PrinterList {
public:
    static PrinterList& instance();

    bool hasPhysicalPrinters() const { return m_physical; }
    int count() const { return static_cast<int>(m_printers.size()); }
    Printer& printer(int index) { return *m_printers[static_cast<size_t>(index)]; }
    QStringList names() const;
    // -1 when no printer has the name; letter case does not count.
    int indexOf(const QString& name) const;

    int currentIndex() const { return m_current; }
    Printer& current() { return printer(m_current); }
    // Makes a printer current and initialises it; an invalid one says so with a message.
    void setCurrent(int index);

private:
    PrinterList();

    std::vector<std::unique_ptr<Printer>> m_printers;
    int m_current = 0;
    bool m_physical = false;
};

} // namespace quittung::report
