#pragma once

#include <QSizeF>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QPrinter;

// Printing for real in the tests.
//
// The print tests (files named *PrintTest.cpp under tests/<folder>/forms/) run with a private CUPS server
// that the test command starts in the build folder (tests/platform/cups-server.sh), holding one PDF
// queue, "yoji_pdf", which is also the server's default printer. Their main() points this process's CUPS
// client at that server before Qt looks for printers, so a program's own "print to the default printer"
// goes to the queue, through the scheduler, the filters and Ghostscript, and the test gets the PDF back.
//
// Where the server could not be started (its start says why: not root, CUPS not installed), the queue is
// unavailable: printers are then aimed at a PDF file written by Qt itself, and the test's output says so.
// Either way the PDF is copied to PRINT_OUTPUT_DIR/<name>.pdf, and pdfToPng() keeps its pages there as PNG
// files for a person to look at.
namespace testing_support {

class PrintQueue
{
public:
    static constexpr const char *kQueueName = "yoji_pdf";

    // Reads the fixture's folder from YOJI_CUPS_FOLDER.
    PrintQueue();

    bool throughCups() const { return m_throughCups; }
    // Why the queue is not used (empty when it is).
    QString whyNot() const { return m_whyNot; }

    // Points this process's CUPS client at the private server, or at no server at all when there is
    // none, so that a test never reaches the machine's own printers. Call before Qt asks for printers.
    static void useTestServer();

    // Aims a printer at the queue (by name), or at PRINT_OUTPUT_DIR/<name>.pdf without the queue.
    void aim(QPrinter &printer, const QString &name) const;

    // A maker of printers for code that takes one: without the queue it makes printers aimed at the PDF
    // file; with the queue it returns an empty function, so the code uses its own default printer,
    // which is then the queue.
    std::function<std::unique_ptr<QPrinter>()> printerMaker(const QString &name) const;

    // Marks the jobs so far; collect() then takes the first job after the mark.
    void mark();

    // Waits (up to timeoutMs) until the job after the mark has been printed and copies its PDF to
    // PRINT_OUTPUT_DIR/<name>.pdf; returns that path, or an empty text and the reason in *error (with
    // the ends of the server's logs). Without the queue it checks the PDF file that aim() named.
    QString collect(const QString &name, QString *error, int timeoutMs = 60000);

    // The ids of the queue's jobs (all, or only completed ones).
    QList<int> jobIds(bool completedOnly) const;

    // Makes the queue refuse new jobs (cupsreject) or take them again (cupsaccept); false when the
    // command failed or there is no queue.
    bool setAccepting(bool accepting) const;

private:
    QString serverSocket() const;
    QString logTails() const;

    QString m_folder;
    bool m_throughCups = false;
    QString m_whyNot;
    int m_mark = 0;
};

// The queue refuses jobs for as long as this lives, as a teacher's `cupsreject` makes it; it takes them
// again afterwards, so the tests after it print as before.
class RefusingQueue
{
public:
    explicit RefusingQueue(const PrintQueue &queue) : m_queue(queue), m_refusing(queue.setAccepting(false)) {}
    ~RefusingQueue() { m_queue.setAccepting(true); }
    RefusingQueue(const RefusingQueue &) = delete;
    RefusingQueue &operator=(const RefusingQueue &) = delete;
    bool refusing() const { return m_refusing; }

private:
    const PrintQueue &m_queue;
    bool m_refusing;
};

// The folder that keeps the printed PDF files and their PNG pages.
QString printOutputDir();

// Texts of a PDF with poppler's pdftotext; page 0 means all. Layout keeps a row's cells on one line as
// they stand on the page; Raw gives the texts in the order they were drawn, so that the lines of one
// cell follow each other.
enum class PdfText { Layout, Raw };
QString pdfText(const QString &pdf, int page = 0, PdfText mode = PdfText::Layout);

// A text without any blank (half-width or ideographic) or line end: the spacing pdftotext puts between
// words depends on how they were placed, not on what they say.
QString withoutBlanks(const QString &text);

// The size of page 1 in points (pdfinfo), and the number of pages; an invalid size or 0 when it fails.
QSizeF pdfPageSizePoints(const QString &pdf);
int pdfPageCount(const QString &pdf);

// Renders the pages with pdftoppm into PRINT_OUTPUT_DIR/<name>-<page>.png; returns the files made.
QStringList pdfToPng(const QString &pdf, const QString &name, int dpi = 60);

} // namespace testing_support
