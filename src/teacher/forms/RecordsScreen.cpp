#include "teacher/forms/RecordsScreen.h"

#include "app/Failure.h"
#include "app/forms/Controls.h"
#include "app/forms/DialogScale.h"
#include "app/forms/Style.h"
#include "app/forms/WaitingPanel.h"
#include "platform/DelimitedItems.h"
#include "platform/TextFile.h"
#include "records/ResultsFile.h"
#include "records/ResultsMaintenance.h"
#include "teacher/forms/QuietWait.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTextDocument>
#include <QTextDocumentFragment>

#include <climits>

namespace teacher {

namespace style = app::style;

namespace {

QLabel *label(QWidget *parent, const QString &name, const QString &text, const QFont &font,
              const QRect &geometry)
{
    QLabel *l = app::controls::label(parent, name, text, font, geometry);
    style::ink(l);
    return l;
}

QPushButton *button(QWidget *parent, const QString &name, const QString &text, const QRect &geometry)
{
    QPushButton *b = app::controls::button(parent, name, text, style::font(13, true), geometry);
    style::plainButton(b);
    return b;
}

} // namespace

RecordsScreen::RecordsScreen(const Parts &parts, AppContext &context, QWidget *parent)
    : QWidget(parent), m_parts(parts), m_context(context), m_editor(m_model)
{
    setObjectName(QStringLiteral("FrmData"));
    resize(1024, 768);
    style::background(this, QColor::fromRgb(style::kCanvas));

    m_count = label(this, QStringLiteral("lblCount"), QStringLiteral("総レコード数:"), style::font(14, true),
                    QRect(16, 10, 360, 30));
    label(this, QStringLiteral("lblListHint"), QStringLiteral("ダブルクリックすると変更、消去できます"),
          style::font(12), QRect(16, 40, 500, 24));
    m_csv = button(this, QStringLiteral("cmdCsv"), QStringLiteral("CSV出力"), QRect(772, 14, 116, 44));
    m_back = button(this, QStringLiteral("cmdBack"), QStringLiteral("戻る"), QRect(900, 14, 116, 44));
    connect(m_csv, &QPushButton::clicked, this, &RecordsScreen::exportCsv);
    connect(m_back, &QPushButton::clicked, this, &RecordsScreen::goBack);

    m_list = new QListView(this);
    m_list->setObjectName(QStringLiteral("List1"));
    m_list->setModel(&m_model);
    m_list->setFont(style::monoFont(11));
    m_list->setUniformItemSizes(true);
    m_list->setLayoutMode(QListView::Batched);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setGeometry(8, 70, 708, 520);
    m_list->setAccessibleName(QStringLiteral("成績の記録"));
    style::list(m_list);
    // The selected lines must stand out from the others at a glance, not in a tint.
    style::setRole(m_list, style::Role::MarkedList);
    connect(m_list, &QListView::doubleClicked, this,
            [this](const QModelIndex &index) { openRow(index.row()); });
    // A single click closes the edit panel.
    connect(m_list, &QListView::clicked, this, [this] {
        m_editor.hidePanel();
        m_edit->setVisible(m_editor.panelShown());
    });
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &RecordsScreen::fillTextArea);

    m_edit = app::controls::frame(this, QStringLiteral("picEdit"), QRect(724, 70, 292, 420));
    style::card(m_edit);
    m_recordNumber = label(m_edit, QStringLiteral("lblRecordNumber"), QString(), style::font(13, true),
                           QRect(14, 10, 264, 28));
    m_level = label(m_edit, QStringLiteral("lblLevel"), QString(), style::font(13), QRect(14, 42, 130, 28));
    m_grade = label(m_edit, QStringLiteral("lblGrade"), QString(), style::font(13), QRect(150, 42, 128, 28));
    m_date = label(m_edit, QStringLiteral("lblDate"), QString(), style::font(13), QRect(14, 74, 264, 28));
    label(m_edit, QStringLiteral("lblStudentCaption"), QStringLiteral("生徒"), style::font(11),
          QRect(14, 108, 100, 22));
    m_students = new QComboBox(m_edit);
    m_students->setObjectName(QStringLiteral("Combo1"));
    m_students->setFont(style::font(12));
    m_students->setGeometry(14, 132, 264, 34);
    m_students->setAccessibleName(QStringLiteral("生徒"));
    connect(m_students, &QComboBox::activated, this, &RecordsScreen::studentChosen);
    label(m_edit, QStringLiteral("lblTimeCaption"), QStringLiteral("タイム（秒）"), style::font(11),
          QRect(14, 176, 150, 22));
    m_time = new QLineEdit(m_edit);
    m_time->setObjectName(QStringLiteral("Text1"));
    m_time->setFont(style::font(14));
    m_time->setGeometry(14, 200, 140, 40);
    m_time->setAccessibleName(QStringLiteral("タイム（秒）"));
    connect(m_time, &QLineEdit::textEdited, this, [this](const QString &text) { m_editor.typeTime(text); });
    m_timeScroll = new QScrollBar(Qt::Vertical, m_edit);
    m_timeScroll->setObjectName(QStringLiteral("VScroll1"));
    m_timeScroll->setRange(0, records::kTimeOut);
    m_timeScroll->setGeometry(158, 200, 22, 40);
    m_timeScroll->setAccessibleName(QStringLiteral("タイム（秒）"));
    connect(m_timeScroll, &QScrollBar::valueChanged, this, [this](int value) {
        m_editor.setTime(value);
        m_time->setText(QString::number(value));
    });
    m_change =
        button(m_edit, QStringLiteral("cmdChange"), QStringLiteral("変更して記録"), QRect(14, 262, 264, 48));
    m_delete = button(m_edit, QStringLiteral("cmdDelete"), QStringLiteral("消去"), QRect(14, 322, 264, 48));
    connect(m_change, &QPushButton::clicked, this, &RecordsScreen::changeRecord);
    connect(m_delete, &QPushButton::clicked, this, &RecordsScreen::deleteRecord);
    m_edit->hide();

    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("RichTextBox1"));
    m_text->setReadOnly(true);
    m_text->setFont(style::monoFont(10));
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setGeometry(8, 600, 860, 160);
    m_text->setAccessibleName(QStringLiteral("印刷する内容"));
    m_text->setPlaceholderText(
        QStringLiteral("一覧で選んだ行がここに入ります。何も選ばずに「印刷」を押すと、一覧の全部の行を"
                       "印刷します。"));
    m_print = button(this, QStringLiteral("cmdPrint"), QStringLiteral("印刷"), QRect(876, 600, 140, 48));
    connect(m_print, &QPushButton::clicked, this, &RecordsScreen::print);

    m_wait = new WaitingPanel(QStringLiteral("Just a moment,please."), false, this);
    m_wait->setObjectName(QStringLiteral("picWait"));
    m_wait->setGeometry(rect());

    chooseCsvFile = [this](const QString &suggested) {
        return QFileDialog::getSaveFileName(app::dialogscale::dialogParent(this), QStringLiteral("CSV出力"),
                                            suggested, QStringLiteral("CSV ファイル (*.csv)"));
    };
    choosePrinter = [this](QPrinter *printer, bool *selectionOnly) {
        QPrintDialog dialog(printer, app::dialogscale::dialogParent(this));
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
        dialog.setOption(QAbstractPrintDialog::PrintSelection, *selectionOnly);
        if (*selectionOnly)
            dialog.setPrintRange(QAbstractPrintDialog::Selection);
        if (dialog.exec() != QDialog::Accepted)
            return false;
        *selectionOnly = dialog.printRange() == QAbstractPrintDialog::Selection;
        return true;
    };
}

QString RecordsScreen::resultsPath() const
{
    return records::resultsFilePath(m_parts.settings.dataFolder);
}

void RecordsScreen::showMessage(const QString &text, bool warning)
{
    app::report(m_context.services, app::Failure{QStringLiteral("成績データの処理"), text,
                                                 warning ? platform::MessageBoxes::Icon::Warning
                                                         : platform::MessageBoxes::Icon::Information});
}

void RecordsScreen::activate()
{
    const FileStep step(this);
    const app::Result<records::Recovery> recovery =
        records::recoverInterruptedRewrite(resultsPath(), m_fileWait);
    if (!recovery)
        showMessage(recovery.failure().text);
    else if (recovery.value() == records::Recovery::Completed)
        showMessage(QStringLiteral("前に途中で止まった記録の消去を、最後まで済ませました。"), false);
    listRecords();
    m_list->setFocus();
}

void RecordsScreen::listRecords()
{
    m_wait->begin();
    const app::PathsAndSettings &settings = m_parts.settings;
    const QDate today = m_context.services.clock.now().date();
    app::Result<teacher::BrowserRoster> read =
        teacher::readBrowserRoster(settings.baseFolder, today, settings.schoolYearStartMonth);
    if (!read && m_editor.firstListing())
        showMessage(read.failure().text + QStringLiteral("\n名前と学年なしで一覧を表示します。"));
    const teacher::BrowserRoster roster = read ? std::move(read.value()) : teacher::BrowserRoster();

    QByteArray bytes;
    qint64 first = 0;
    qint64 total = 0;
    int errorNumber = 0;
    const QString path = resultsPath();
    if (!QFileInfo::exists(path)) {
        // Nothing is written: the browser never creates the results file.
        if (m_editor.firstListing())
            showMessage(QStringLiteral("成績ファイルがありません：%1").arg(platform::displayPath(path)));
    } else if (records::readLastRecordBytes(path, INT_MAX, m_fileWait, &bytes, &first, &total,
                                            &errorNumber) != records::ReadOutcome::Read) {
        showMessage(QStringLiteral("成績ファイルを読めません：%1\n%2")
                        .arg(platform::displayPath(path), platform::LockedFile::describeError(errorNumber)));
    }
    m_model.setRecords(bytes, roster, settings.schoolCode, settings.schoolName);
    m_editor.listed();
    m_count->setText(QStringLiteral("総レコード数:%1").arg(m_model.totalRecords()));
    showStudents();
    m_edit->setVisible(m_editor.panelShown());
    showButtons();
    fillTextArea();
    m_wait->end();
}

void RecordsScreen::selectRow(int row)
{
    if (row < 0 || row >= m_model.rowCount())
        return;
    const QModelIndex index = m_model.index(row);
    m_list->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    m_list->scrollTo(index, QAbstractItemView::PositionAtCenter);
}

QList<int> RecordsScreen::selectedRows() const
{
    QList<int> rows;
    for (const QModelIndex &index : m_list->selectionModel()->selectedIndexes())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

void RecordsScreen::fillTextArea()
{
    // The lines selected in the list. With none, "印刷" prints every listed line: a school's file holds
    // too many for the text area to hold them all at every listing.
    QString text;
    for (int row : selectedRows()) {
        if (!text.isEmpty())
            text += u'\n';
        text += m_model.line(row);
    }
    m_text->setPlainText(text);
}

QString RecordsScreen::printedText() const
{
    const QTextCursor cursor = m_text->textCursor();
    if (cursor.hasSelection())
        return cursor.selection().toPlainText();
    if (!m_text->toPlainText().isEmpty())
        return m_text->toPlainText();
    QString text;
    for (int row = 0; row < m_model.rowCount(); ++row) {
        if (row > 0)
            text += u'\n';
        text += m_model.line(row);
    }
    return text;
}

void RecordsScreen::showButtons()
{
    m_change->setEnabled(m_editor.canChangeOrDelete());
    m_delete->setEnabled(m_editor.canChangeOrDelete());
}

void RecordsScreen::showStudents()
{
    m_students->clear();
    for (const teacher::StudentItem &item : m_editor.studentItems())
        m_students->addItem(item.text, item.number);
    m_students->setCurrentIndex(m_editor.studentIndex());
}

void RecordsScreen::openRow(int row)
{
    if (m_editor.busy())
        return;
    const FileStep step(this);
    const qint64 number = m_model.recordNumber(row);
    if (number <= 0)
        return;
    const app::Result<QByteArray> read = records::readRecord(resultsPath(), number, m_fileWait);
    if (!read) {
        showMessage(read.failure().text);
        listRecords();
        return;
    }
    if (m_editor.open(row, read.value()) == teacher::RecordEditor::Opened::ChangedElsewhere) {
        showMessage(QStringLiteral("一覧を読んだ後で、成績ファイルがほかのパソコンから変更されました：%1\n"
                                   "一覧を読み直します。記録をもう一度選んでください。")
                        .arg(platform::displayPath(resultsPath())));
        listRecords();
        return;
    }
    m_recordNumber->setText(m_editor.recordNumberText());
    m_level->setText(m_editor.levelText());
    m_date->setText(m_editor.dateText());
    m_grade->setText(m_editor.gradeText());
    showStudents();
    const qint32 time = records::recordTime(m_editor.openedBytes().constData());
    {
        const QSignalBlocker block(m_timeScroll);
        m_timeScroll->setValue(std::clamp<qint32>(time, 0, records::kTimeOut));
    }
    m_time->setText(QString::number(time));
    m_edit->setVisible(m_editor.panelShown());
    m_edit->raise();
}

void RecordsScreen::studentChosen(int index)
{
    m_editor.chooseStudent(index);
    m_grade->setText(m_editor.gradeText());
}

void RecordsScreen::changeRecord()
{
    if (!m_editor.canChangeOrDelete())
        return;
    const FileStep step(this);
    // Copies of what the panel holds: the listing afterwards clears it.
    const app::Result<teacher::RecordChange> change = m_editor.change();
    if (!change) {
        showMessage(change.failure().text);
        if (!m_editor.time())
            m_time->setFocus();
        return;
    }
    const teacher::RecordChange &c = change.value();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const app::Status changed =
        records::changeRecord(resultsPath(), c.number, c.opened, c.student, c.time, m_fileWait);
    QApplication::restoreOverrideCursor();
    if (changed)
        showMessage(changed->text);
    listRecords();
    selectRow(m_model.rowOfRecord(c.number));
}

void RecordsScreen::deleteRecord()
{
    if (!m_editor.canChangeOrDelete())
        return;
    const FileStep step(this);
    if (!m_context.services.messages.ask(QStringLiteral("注意"), QStringLiteral("本当に消去しますか")))
        return;
    const qint64 number = m_editor.openedRecord();
    // A copy: the listing afterwards clears what the panel holds.
    const QByteArray opened = m_editor.openedBytes();
    const int position = m_model.rowOfRecord(number);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const app::Status failed = records::deleteRecord(resultsPath(), number, opened, m_fileWait);
    QApplication::restoreOverrideCursor();
    if (failed)
        showMessage(failed->text);
    listRecords();
    if (!failed)
        selectRow(teacher::RecordEditor::rowAfterDeletion(position, m_model.rowCount()));
}

void RecordsScreen::print()
{
    if (m_editor.busy())
        return;
    const bool hasSelection = m_text->textCursor().hasSelection();
    bool selectionOnly = hasSelection;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    if (!choosePrinter || !choosePrinter(&printer, &selectionOnly))
        return;
    QString text = printedText();
    if (hasSelection && !selectionOnly)
        text = m_text->toPlainText();
    m_wait->showNow();
    QTextDocument document;
    document.setDefaultFont(style::monoFont(9));
    document.setPlainText(text);
    document.print(&printer);
    m_wait->end();
}

void RecordsScreen::exportCsv()
{
    if (m_editor.busy())
        return;
    if (m_model.rowCount() == 0) {
        showMessage(QStringLiteral("書き出す記録がありません。"));
        return;
    }
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    const QString suggested = QDir(folder).filePath(
        QStringLiteral("成績一覧_%1.csv")
            .arg(m_context.services.clock.now().date().toString(QStringLiteral("yyyyMMdd"))));
    const QString path = chooseCsvFile ? chooseCsvFile(suggested) : QString();
    if (path.isEmpty())
        return;
    const QStringList lines = teacher::resultsCsvLines(m_model, {}, m_parts.catalogue, m_parts.standards);
    if (const app::Status written = teacher::writeResultsCsv(path, lines)) {
        showMessage(written->text);
        return;
    }
    showMessage(QStringLiteral("%1 件の記録を書き出しました：%2")
                    .arg(lines.size() - 1)
                    .arg(platform::displayPath(path)),
                false);
}

void RecordsScreen::goBack()
{
    if (m_editor.leaving() || m_editor.busy())
        return;
    m_editor.setLeaving();
    m_wait->showNow();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    m_context.navigator.showHub();
}

RecordsScreen::FileStep::FileStep(RecordsScreen *screen) : m_screen(screen)
{
    m_screen->m_editor.setBusy(true);
    m_screen->showButtons();
}

RecordsScreen::FileStep::~FileStep()
{
    m_screen->m_editor.setBusy(false);
    m_screen->m_fileWait.done();
    m_screen->showButtons();
}

} // namespace teacher
