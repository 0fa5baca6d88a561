#include "support/printing/PrintQueue.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>

#include <algorithm>

namespace testing_support {

namespace {

QString readFirstLine(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(file.readLine()).trimmed();
}

// Runs a command and returns its standard output; empty when it did not run or failed.
QString run(const QString &program, const QStringList &arguments, bool *ok = nullptr, int timeoutMs = 30000)
{
    QProcess process;
    process.start(program, arguments);
    const bool done = process.waitForStarted(timeoutMs) && process.waitForFinished(timeoutMs);
    const bool good = done && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (!done)
        process.kill();
    if (ok)
        *ok = good;
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString tail(const QString &path, int lines)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList all = QString::fromUtf8(file.readAll()).split(u'\n');
    if (all.size() > lines)
        all = all.mid(all.size() - lines);
    return all.join(u'\n');
}

} // namespace

QString printOutputDir()
{
    const QString dir = QStringLiteral(PRINT_OUTPUT_DIR);
    QDir().mkpath(dir);
    return dir;
}

PrintQueue::PrintQueue()
{
    m_folder = qEnvironmentVariable("YOJI_CUPS_FOLDER");
    if (m_folder.isEmpty()) {
        m_whyNot = QStringLiteral("YOJI_CUPS_FOLDER is not set (the test was not started by CTest)");
        return;
    }
    const QString unavailable = readFirstLine(m_folder + QStringLiteral("/unavailable"));
    if (!unavailable.isEmpty()) {
        m_whyNot = unavailable;
        return;
    }
    if (serverSocket().isEmpty()) {
        m_whyNot = QStringLiteral("the private CUPS server has not written %1/server").arg(m_folder);
        return;
    }
    m_throughCups = true;
    mark();
}

void PrintQueue::useTestServer()
{
    const QString folder = qEnvironmentVariable("YOJI_CUPS_FOLDER");
    const QString socket = folder.isEmpty() ? QString() : readFirstLine(folder + QStringLiteral("/server"));
    // A socket that does not exist makes every CUPS request fail at once: no printers, and none of the
    // machine's own.
    qputenv("CUPS_SERVER",
            socket.isEmpty() ? QByteArray("/nonexistent/yoji-no-cups.sock") : socket.toLocal8Bit());
    qunsetenv("CUPS_USER");
    qunsetenv("PRINTER");
    qunsetenv("LPDEST");
}

QString PrintQueue::serverSocket() const
{
    return readFirstLine(m_folder + QStringLiteral("/server"));
}

void PrintQueue::aim(QPrinter &printer, const QString &name) const
{
    printer.setDocName(name);
    if (m_throughCups) {
        printer.setPrinterName(QString::fromLatin1(kQueueName));
    } else {
        const QString path = printOutputDir() + u'/' + name + QStringLiteral(".pdf");
        QFile::remove(path);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
    }
}

std::function<std::unique_ptr<QPrinter>()> PrintQueue::printerMaker(const QString &name) const
{
    if (m_throughCups)
        return {};
    return [queue = *this, name] {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        queue.aim(*printer, name);
        return printer;
    };
}

QList<int> PrintQueue::jobIds(bool completedOnly) const
{
    QList<int> ids;
    if (!m_throughCups)
        return ids;
    const QString out =
        run(QStringLiteral("lpstat"), {QStringLiteral("-h"), serverSocket(), QStringLiteral("-W"),
                                       completedOnly ? QStringLiteral("completed") : QStringLiteral("all"),
                                       QStringLiteral("-o"), QString::fromLatin1(kQueueName)});
    static const QRegularExpression line(QStringLiteral("^%1-(\\d+)\\s").arg(QString::fromLatin1(kQueueName)),
                                         QRegularExpression::MultilineOption);
    for (auto it = line.globalMatch(out); it.hasNext();)
        ids.append(it.next().captured(1).toInt());
    std::sort(ids.begin(), ids.end());
    return ids;
}

bool PrintQueue::setAccepting(bool accepting) const
{
    if (!m_throughCups)
        return false;
    bool ok = false;
    run(accepting ? QStringLiteral("cupsaccept") : QStringLiteral("cupsreject"),
        {QStringLiteral("-h"), serverSocket(), QString::fromLatin1(kQueueName)}, &ok);
    return ok;
}

void PrintQueue::mark()
{
    const QList<int> ids = jobIds(false);
    m_mark = ids.isEmpty() ? 0 : ids.last();
}

QString PrintQueue::logTails() const
{
    return QStringLiteral("---- error_log ----\n%1\n---- cups-pdf log ----\n%2")
        .arg(
            tail(m_folder + QStringLiteral("/log/error_log"), 20),
            tail(m_folder + QStringLiteral("/log/cups-pdf-%1_log").arg(QString::fromLatin1(kQueueName)), 20));
}

QString PrintQueue::collect(const QString &name, QString *error, int timeoutMs)
{
    const QString target = printOutputDir() + u'/' + name + QStringLiteral(".pdf");
    if (!m_throughCups) {
        if (!QFileInfo(target).isFile() || QFileInfo(target).size() == 0) {
            *error = QStringLiteral("no PDF was written to %1").arg(target);
            return {};
        }
        return target;
    }
    QDeadlineTimer deadline(timeoutMs);
    int job = 0;
    while (!deadline.hasExpired()) {
        if (job == 0) {
            for (int id : jobIds(false)) {
                if (id > m_mark) {
                    job = id;
                    break;
                }
            }
        }
        if (job != 0 && jobIds(true).contains(job))
            break;
        QThread::msleep(50);
    }
    if (job == 0) {
        *error = QStringLiteral("no job reached the queue %1 after job %2\n%3")
                     .arg(QString::fromLatin1(kQueueName))
                     .arg(m_mark)
                     .arg(logTails());
        return {};
    }
    m_mark = job;
    const QStringList made = QDir(m_folder + QStringLiteral("/out"))
                                 .entryList({QStringLiteral("*-job_%1.pdf").arg(job)}, QDir::Files);
    if (made.isEmpty()) {
        *error = QStringLiteral("job %1 %2 but left no PDF in %3/out\n%4")
                     .arg(job)
                     .arg(deadline.hasExpired() ? QStringLiteral("did not complete in time")
                                                : QStringLiteral("completed"))
                     .arg(m_folder, logTails());
        return {};
    }
    QFile::remove(target);
    if (!QFile::copy(m_folder + QStringLiteral("/out/") + made.first(), target)) {
        *error = QStringLiteral("cannot copy the PDF of job %1 to %2").arg(job).arg(target);
        return {};
    }
    return target;
}

QString pdfText(const QString &pdf, int page, PdfText mode)
{
    QStringList arguments{mode == PdfText::Layout ? QStringLiteral("-layout") : QStringLiteral("-raw")};
    if (page > 0)
        arguments << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l")
                  << QString::number(page);
    arguments << QStringLiteral("-enc") << QStringLiteral("UTF-8") << pdf << QStringLiteral("-");
    return run(QStringLiteral("pdftotext"), arguments);
}

QString withoutBlanks(const QString &text)
{
    QString squeezed;
    squeezed.reserve(text.size());
    for (QChar c : text)
        if (!c.isSpace())
            squeezed.append(c);
    return squeezed;
}

namespace {
QString pdfInfo(const QString &pdf)
{
    return run(QStringLiteral("pdfinfo"), {pdf});
}
} // namespace

QSizeF pdfPageSizePoints(const QString &pdf)
{
    static const QRegularExpression size(QStringLiteral("^Page size:\\s+([0-9.]+) x ([0-9.]+) pts"),
                                         QRegularExpression::MultilineOption);
    const QRegularExpressionMatch m = size.match(pdfInfo(pdf));
    if (!m.hasMatch())
        return {};
    return QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble());
}

int pdfPageCount(const QString &pdf)
{
    static const QRegularExpression pages(QStringLiteral("^Pages:\\s+(\\d+)"),
                                          QRegularExpression::MultilineOption);
    const QRegularExpressionMatch m = pages.match(pdfInfo(pdf));
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

namespace {
// The pages pdftoppm made for a name: <name>-<page>.png, the page number padded to the page count's width.
QStringList pageFiles(const QDir &dir, const QString &name)
{
    const QRegularExpression page(QStringLiteral("^%1-\\d+\\.png$").arg(QRegularExpression::escape(name)));
    QStringList files;
    for (const QString &file : dir.entryList({name + QStringLiteral("-*.png")}, QDir::Files, QDir::Name))
        if (page.match(file).hasMatch())
            files.append(file);
    return files;
}
} // namespace

QStringList pdfToPng(const QString &pdf, const QString &name, int dpi)
{
    const QString prefix = printOutputDir() + u'/' + name;
    QDir dir(printOutputDir());
    for (const QString &old : pageFiles(dir, name))
        dir.remove(old);
    bool ok = false;
    run(QStringLiteral("pdftoppm"),
        {QStringLiteral("-png"), QStringLiteral("-r"), QString::number(dpi), pdf, prefix}, &ok);
    if (!ok)
        return {};
    QStringList made;
    for (const QString &file : pageFiles(dir, name))
        made.append(dir.filePath(file));
    return made;
}

} // namespace testing_support
