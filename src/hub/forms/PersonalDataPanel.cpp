#include "hub/forms/PersonalDataPanel.h"

#include "app/Failure.h"
#include "app/forms/Controls.h"
#include "app/forms/Style.h"
#include "drill/LevelCatalogue.h"
#include "hub/HubViews.h"
#include "hub/forms/PersonalSheetPainter.h"
#include "platform/PdfFile.h"
#include "platform/PrintJobCheck.h"
#include "platform/TextFile.h"
#include "records/ResultsFile.h"
#include "roster/NameList.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPushButton>
#include <QStandardPaths>

#include <algorithm>
#include <optional>

namespace hub {

namespace style = app::style;

namespace {
const QString kTitle = QStringLiteral("個人データ");

QPushButton *button(QWidget *parent, const QString &name, const QString &text, const QRect &geometry,
                    qreal size = 12)
{
    QPushButton *b = app::controls::button(parent, name, text, style::font(size), geometry);
    style::plainButton(b);
    return b;
}

// A list that says when a key changed what is chosen (an arrow key, Shift with one, Space, Ctrl+A):
// a click says so through clicked().
class ChoiceList : public QListView
{
public:
    using QListView::QListView;
    std::function<void()> onKeyChoice;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        const QModelIndexList before =
            selectionModel() ? selectionModel()->selectedIndexes() : QModelIndexList();
        QListView::keyPressEvent(event);
        if (onKeyChoice && selectionModel() && selectionModel()->selectedIndexes() != before)
            onKeyChoice();
    }
};

ChoiceList *list(QWidget *parent, const QString &name, const QString &accessibleName,
                 QItemSelectionModel *selection, const QRect &geometry)
{
    auto *view = new ChoiceList(parent);
    view->setObjectName(name);
    view->setAccessibleName(accessibleName);
    view->setFont(style::monoFont(11));
    view->setModel(selection->model());
    QItemSelectionModel *own = view->selectionModel();
    view->setSelectionModel(selection);
    delete own;
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setUniformItemSizes(true);
    style::list(view);
    view->setGeometry(geometry);
    return view;
}

// The paper of the sheet: A4 portrait, the whole sheet of paper as the page.
void setUpPaper(QPrinter &printer)
{
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setFullPage(true);
}

// The printer as a message names it: the printer, or the file printed to.
QString printerLabel(const QPrinter &printer)
{
    return printer.outputFileName().isEmpty() ? printer.printerName()
                                              : QDir::toNativeSeparators(printer.outputFileName());
}

QString safeFileName(const QString &text)
{
    QString name = text;
    for (QChar &c : name) {
        if (QStringLiteral("\\/:*?\"<>|").contains(c) || c.unicode() < 0x20)
            c = u'_';
    }
    return name.trimmed();
}
} // namespace

PersonalSheetView::PersonalSheetView(QWidget *parent)
    : QWidget(parent), m_pointSize(hub::sheetpaint::kSheetPointSize)
{
    setObjectName(QStringLiteral("picSheet"));
    setAccessibleName(QStringLiteral("個人データのグラフ"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PersonalSheetView::setSheet(const hub::PersonalSheet &sheet)
{
    m_sheet = sheet;
    m_page = hub::firstShownPage(m_sheet);
    // What the sheet says, for a screen reader.
    QStringList lines{m_sheet.name};
    for (const hub::SheetPage &page : m_sheet.pages) {
        for (const hub::SheetBlock &block : page.blocks) {
            lines << block.title;
            for (const hub::StatisticsLine &line : block.lines)
                lines << line.text.simplified();
        }
        for (const hub::WeakIdiomsBlock &block : page.weakBlocks) {
            lines << block.title;
            for (const hub::WeakIdiomLine &line : block.lines)
                lines << line.text + u'　' + line.meaning;
            if (!block.note.isEmpty())
                lines << block.note;
        }
    }
    setAccessibleDescription(lines.join(u'\n'));
    update();
    emit pageChanged();
}

void PersonalSheetView::clear()
{
    setSheet({});
}

void PersonalSheetView::showPage(int index)
{
    if (index < 0 || index >= pageCount() || index == m_page)
        return;
    m_page = index;
    update();
    emit pageChanged();
}

void PersonalSheetView::setPointSize(qreal size)
{
    m_pointSize = size;
    update();
}

void PersonalSheetView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    hub::sheetpaint::paintPage(painter, QRectF(rect()), m_sheet, m_page, m_pointSize);
    painter.setPen(QColor::fromRgb(style::kLine));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

PersonalDataPanel::PersonalDataPanel(const Parts &parts, AppContext &context,
                                     std::function<QString()> gradeFilter, QWidget *parent)
    : QFrame(parent), m_parts(parts), m_context(context), m_gradeFilter(std::move(gradeFilter)),
      m_dialogs(&context.services.outputDialogs)
{
    setObjectName(QStringLiteral("pnlPersonalData"));
    style::card(this);
    m_model.setTeacher(isTeacher());
    build();
    hide();
}

PersonalDataPanel::~PersonalDataPanel()
{
    // The lists show the panel's model: they go before it does.
    delete m_students;
    delete m_levels;
}

void PersonalDataPanel::build()
{
    m_otherStudent = button(this, QStringLiteral("cmdOtherStudent"), QStringLiteral("他の人のデータを見る"),
                            QRect(8, 8, 280, 40));
    connect(m_otherStudent, &QPushButton::clicked, this, [this] {
        m_model.showStudentList();
        showChoices();
        m_students->setFocus();
    });

    ChoiceList *students = list(this, QStringLiteral("lstSheetStudents"), QStringLiteral("生徒"),
                                m_model.studentSelection(), QRect(8, 8, 280, 262));
    m_students = students;
    // The rows hold the roster's blank-padded names: in a proportional font the blanks stay narrow, and
    // a row too long for the list loses its middle, never the number at its end.
    m_students->setFont(style::font(11));
    m_students->setTextElideMode(Qt::ElideMiddle);
    m_students->hide();
    connect(m_students, &QListView::clicked, this, [this] { draw(Target::Screen); });
    students->onKeyChoice = [this] { draw(Target::Screen); };

    ChoiceList *levels = list(this, QStringLiteral("lstSheetLevels"), QStringLiteral("レベル"),
                              m_model.levelSelection(), QRect(8, 278, 280, 110));
    m_levels = levels;
    const auto levelsChosen = [this] {
        if (isVisible())
            draw(Target::Screen);
    };
    connect(m_levels, &QListView::clicked, this, levelsChosen);
    levels->onKeyChoice = levelsChosen;

    m_prevPage = button(this, QStringLiteral("cmdSheetPrevPage"), QStringLiteral("◀"), QRect(8, 394, 56, 28));
    m_prevPage->setAccessibleName(QStringLiteral("前のページ"));
    m_pageLabel = app::controls::label(this, QStringLiteral("lblSheetPage"), QString(), style::font(11),
                                       QRect(68, 394, 160, 28), Qt::AlignCenter);
    style::ink(m_pageLabel);
    m_nextPage =
        button(this, QStringLiteral("cmdSheetNextPage"), QStringLiteral("▶"), QRect(232, 394, 56, 28));
    m_nextPage->setAccessibleName(QStringLiteral("次のページ"));
    // What became of the last 印刷 or PDFに保存.
    m_status = app::controls::label(this, QStringLiteral("lblSheetStatus"), QString(), style::font(10),
                                    QRect(8, 424, 280, 44), Qt::AlignLeft | Qt::AlignVCenter);
    m_status->setWordWrap(true);
    style::ink(m_status);

    m_display =
        button(this, QStringLiteral("Command24_0"), QStringLiteral("表示"), QRect(8, 472, 136, 40), 14);
    m_print = button(this, QStringLiteral("Command24_1"), QStringLiteral("印刷"), QRect(8, 520, 136, 40), 14);
    m_pdf = button(this, QStringLiteral("cmdSavePdf"), QStringLiteral("PDFに保存"), QRect(152, 520, 136, 40));
    m_back =
        button(this, QStringLiteral("cmdSheetBack"), QStringLiteral("戻る"), QRect(152, 472, 136, 40), 14);
    connect(m_display, &QPushButton::clicked, this, [this] { draw(Target::Screen); });
    connect(m_print, &QPushButton::clicked, this, [this] { draw(Target::Printer); });
    connect(m_pdf, &QPushButton::clicked, this, [this] { draw(Target::Pdf); });
    connect(m_back, &QPushButton::clicked, this, &QWidget::hide);

    m_view = new PersonalSheetView(this);
    m_view->setGeometry(296, 8, 704, 556);
    connect(m_view, &PersonalSheetView::pageChanged, this, &PersonalDataPanel::updatePageControls);
    connect(m_prevPage, &QPushButton::clicked, this, [this] { m_view->showPage(m_view->page() - 1); });
    connect(m_nextPage, &QPushButton::clicked, this, [this] { m_view->showPage(m_view->page() + 1); });
    updatePageControls();
}

bool PersonalDataPanel::isTeacher() const
{
    return roster::namelist::isTeacherName(m_parts.run.studentName);
}

void PersonalDataPanel::showOwnSheet()
{
    if (!m_model.filled())
        m_model.fill(m_parts.roster, m_parts.settings.schoolYearStartMonth,
                     m_context.services.clock.now().date(), m_parts.catalogue);
    m_print->setVisible(m_model.offers(Target::Printer));
    m_pdf->setVisible(m_model.offers(Target::Pdf));
    m_model.showOwnSheet(m_parts.run.studentNumber, m_parts.catalogue);
    showChoices();
    m_view->setPointSize(hub::sheetpaint::kSheetPointSize);
    show();
    raise();
    draw(Target::Screen);
}

void PersonalDataPanel::showChoices()
{
    m_otherStudent->setVisible(!m_model.studentListShown());
    m_students->setVisible(m_model.studentListShown());
}

const hub::PersonalSheet &PersonalDataPanel::shownSheet() const
{
    return m_view->sheet();
}

void PersonalDataPanel::warn(const QString &text)
{
    app::report(m_context.services, app::warning(kTitle, text));
}

bool PersonalDataPanel::readRuns(std::vector<hub::SheetRun> *runs)
{
    // The hub shows ranks and points of records it read from the file: without the file now, the
    // sheet's counts would be blank beside them.
    const bool fileExpected = m_parts.results.recordCount > 0;
    app::Result<std::vector<hub::SheetRun>> read = hub::readSheetRuns(
        records::resultsFilePath(m_parts.settings.dataFolder), m_context.services.wait, fileExpected);
    if (!read) {
        runs->clear();
        warn(read.failure().text);
        return false;
    }
    *runs = std::move(read.value());
    return true;
}

hub::PersonalSheet PersonalDataPanel::sheetFor(int student, const std::vector<hub::SheetRun> &runs,
                                               const std::vector<int> &levels) const
{
    const hub::RowStudents rows = hub::rowStudentsFor(m_parts.roster, m_parts.run.studentNumber,
                                                      m_gradeFilter ? m_gradeFilter() : QString());
    hub::PersonalSheet sheet =
        hub::personalSheet({m_parts.catalogue, m_parts.roster, m_parts.results, m_parts.statistics}, rows,
                           runs, m_context.services.clock.now().date(), student, levels);
    // A teacher sees the class's weak idioms too: those of the students the grade filter shows.
    const std::vector<int> classStudents = hub::classStudentsOf(rows);
    hub::addWeakIdiomsPage(sheet, m_weak, isTeacher() ? &classStudents : nullptr,
                           m_gradeFilter ? m_gradeFilter() : QString());
    return sheet;
}

void PersonalDataPanel::draw(Target target)
{
    if (!m_model.offers(target))
        return;
    const app::Result<hub::SheetDrawing> drawing = m_model.drawing(target);
    if (!drawing) {
        warn(drawing.failure().text);
        return;
    }
    const std::vector<int> &students = drawing.value().students;
    const std::vector<int> &levels = drawing.value().levels;
    std::vector<hub::SheetRun> runs;
    if (!readRuns(&runs))
        return;
    m_weak = hub::readWeakIdiomsSource(m_parts.settings.dataFolder, m_parts.settings.appFolder,
                                       m_context.services.clock.now(), m_context.services.wait);
    if (target != Target::Screen)
        m_status->clear();
    // Each student's sheet clears the area for the next, so the screen shows the last one.
    m_model.drawn(drawing.value());
    if (target == Target::Screen)
        m_view->setSheet(sheetFor(m_model.sheetStudent(), runs, levels));
    else if (target == Target::Printer)
        print(students, runs, levels);
    else
        savePdf(students, runs, levels);
}

void PersonalDataPanel::print(const std::vector<int> &students, const std::vector<hub::SheetRun> &runs,
                              const std::vector<int> &levels)
{
    QPrinter printer(QPrinter::HighResolution);
    setUpPaper(printer);
    if (!m_dialogs->choosePrinter(printer, this))
        return;
    setUpPaper(printer);
    // One print job per student's sheet. Printing to a file (the print dialog offers it) makes one
    // document of them all, since every job would write the same file.
    const bool toFile = !printer.outputFileName().isEmpty();
    // The print system is asked about every job: the toolkit says nothing of a queue that refused one.
    std::optional<platform::PrintJobCheck> check;
    int refused = 0;
    QString refusal;
    QPainter painter;
    for (std::size_t i = 0; i < students.size(); ++i) {
        const hub::PersonalSheet sheet = sheetFor(students[i], runs, levels);
        if (!painter.isActive()) {
            printer.setDocName(kTitle + (toFile && students.size() > 1 ? QString() : u' ' + sheet.name));
            check = platform::PrintJobCheck::forPrinter(printer.printerName(), printer.outputFileName());
            if (!painter.begin(&printer)) {
                warn(QStringLiteral("印刷を始められません。プリンター：%1").arg(printerLabel(printer)));
                return;
            }
        }
        hub::sheetpaint::paintSheet(painter, printer, sheet, toFile && i > 0);
        if (toFile && i + 1 < students.size())
            continue;
        if (!painter.end() || printer.printerState() == QPrinter::Error) {
            warn(QStringLiteral("印刷できませんでした。プリンター：%1").arg(printerLabel(printer)));
            return;
        }
        if (const platform::Status why = check ? check->accepted() : platform::Status{}) {
            ++refused;
            if (refusal.isEmpty())
                refusal = why->text;
        }
    }
    const int jobs = toFile ? 1 : int(students.size());
    if (refused > 0) {
        QString text =
            QStringLiteral("印刷できませんでした。プリンター：%1\n%2").arg(printerLabel(printer), refusal);
        if (jobs > 1)
            text += QStringLiteral("\n%1 人分のうち %2 人分が届いていません。").arg(jobs).arg(refused);
        warn(text);
        return;
    }
    m_status->setText(
        students.size() > 1 && !toFile
            ? QStringLiteral("%1 に送りました（%2 人分）。").arg(printerLabel(printer)).arg(jobs)
            : QStringLiteral("%1 に送りました。").arg(printerLabel(printer)));
}

void PersonalDataPanel::savePdf(const std::vector<int> &students, const std::vector<hub::SheetRun> &runs,
                                const std::vector<int> &levels)
{
    std::vector<hub::PersonalSheet> sheets;
    for (int student : students)
        sheets.push_back(sheetFor(student, runs, levels));
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    const QString suggested = sheets.size() == 1 && !sheets.front().name.isEmpty()
                                  ? sheets.front().name + u'_' + kTitle + QStringLiteral(".pdf")
                                  : kTitle + QStringLiteral(".pdf");
    QString path = m_dialogs->choosePdfFile(QDir(folder).filePath(safeFileName(suggested)), this);
    if (path.isEmpty())
        return;
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        path += QStringLiteral(".pdf");

    // Made in memory first, then written beside the file and moved over it by the one verified writer:
    // a disk that fills part way leaves any earlier file as it was.
    QByteArray pdf;
    bool drawn = false;
    {
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(600);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
        writer.setTitle(kTitle + (sheets.size() == 1 ? u' ' + sheets.front().name : QString()));
        writer.setCreator(m_parts.catalogue.programTitle);
        QPainter painter;
        if (painter.begin(&writer)) {
            for (std::size_t i = 0; i < sheets.size(); ++i)
                hub::sheetpaint::paintSheet(painter, writer, sheets[i], i > 0);
            drawn = painter.end();
        }
    }
    if (const platform::Status failed = platform::savePdfFile(path, pdf, drawn)) {
        warn(failed->text);
        return;
    }
    m_status->setText(QStringLiteral("保存しました：%1").arg(platform::displayPath(path)));
}

void PersonalDataPanel::updatePageControls()
{
    const int count = m_view->pageCount();
    const bool several = count > 1;
    m_prevPage->setVisible(several);
    m_nextPage->setVisible(several);
    m_pageLabel->setVisible(several);
    m_prevPage->setEnabled(m_view->page() > 0);
    m_nextPage->setEnabled(m_view->page() + 1 < count);
    m_pageLabel->setText(QStringLiteral("%1 / %2 ページ").arg(m_view->page() + 1).arg(count));
}

} // namespace hub
