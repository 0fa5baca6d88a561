#include "teacher/forms/StandardsScreen.h"

#include "app/Failure.h"
#include "app/forms/Controls.h"
#include "app/forms/Style.h"
#include "app/forms/WaitingPanel.h"
#include "platform/TextFile.h"
#include "records/ResultsFile.h"
#include "records/StandardsTable.h"
#include "teacher/forms/QuietWait.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QStringListModel>
#include <QStyledItemDelegate>
#include <QTableView>

#include <climits>

namespace teacher {

namespace style = app::style;

namespace {

constexpr int kGridLeft = 8;
constexpr int kGridTop = 70;
constexpr int kGridWidth = 632;
constexpr int kGridHeight = 520;
constexpr int kRowHeight = 22;

// Paints a cell in the colour its model gives it: yellow when changed, red when marked before saving;
// the level column grey, as a fixed column is.
class CellColourDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const QVariant colour = index.data(teacher::StandardsGridModel::CellColourRole);
        if (colour.isValid())
            option->backgroundBrush = QColor::fromRgb(colour.value<quint32>());
        else if (index.column() == 0)
            option->backgroundBrush = QColor::fromRgb(style::kFixedCell);
    }
};

QLabel *label(QWidget *parent, const QString &name, const QString &text, const QFont &font,
              const QRect &geometry)
{
    QLabel *l = app::controls::label(parent, name, text, font, geometry, Qt::AlignLeft | Qt::AlignTop);
    style::ink(l);
    return l;
}

QPushButton *button(QWidget *parent, const QString &name, const QString &text, const QRect &geometry)
{
    QPushButton *b = app::controls::button(parent, name, text, style::font(13, true), geometry);
    style::plainButton(b);
    return b;
}

QListView *distributionList(QWidget *parent, const QString &name, QStringListModel *model,
                            const QRect &geometry)
{
    auto *list = new QListView(parent);
    list->setObjectName(name);
    list->setModel(model);
    list->setFont(style::monoFont(10.5));
    list->setUniformItemSizes(true);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSelectionMode(QAbstractItemView::NoSelection);
    list->setFocusPolicy(Qt::NoFocus);
    list->setGeometry(geometry);
    style::list(list);
    return list;
}

teacher::EditorKey editorKey(const QKeyEvent *key)
{
    switch (key->key()) {
    case Qt::Key_Up:
        return teacher::EditorKey::Up;
    case Qt::Key_Down:
        return teacher::EditorKey::Down;
    case Qt::Key_Left:
        return teacher::EditorKey::Left;
    case Qt::Key_Right:
        return teacher::EditorKey::Right;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return teacher::EditorKey::Enter;
    case Qt::Key_Escape:
        return teacher::EditorKey::Escape;
    case Qt::Key_Space:
        return teacher::EditorKey::Space;
    default:
        return teacher::EditorKey::Other;
    }
}

} // namespace

StandardsScreen::StandardsScreen(const Parts &parts, AppContext &context, QWidget *parent)
    : QWidget(parent), m_parts(parts), m_context(context)
{
    setObjectName(QStringLiteral("FrmTimeData"));
    resize(1024, 768);
    style::background(this, QColor::fromRgb(style::kCanvas));

    m_intro = label(this, QStringLiteral("Label1"),
                    QStringLiteral("成績の基準となるデータを変更できます。\nプログラムを選んでください。"),
                    style::font(14, true), QRect(16, 10, 600, 56));

    m_reload = button(this, QStringLiteral("cmdReload"), QStringLiteral("元に戻す"), QRect(648, 14, 116, 44));
    m_save = button(this, QStringLiteral("cmdSave"), QStringLiteral("更新記録"), QRect(772, 14, 116, 44));
    m_back = button(this, QStringLiteral("cmdBack"), QStringLiteral("戻る"), QRect(900, 14, 116, 44));
    connect(m_reload, &QPushButton::clicked, this, &StandardsScreen::reload);
    connect(m_save, &QPushButton::clicked, this, [this] { save(); });
    connect(m_back, &QPushButton::clicked, this, &StandardsScreen::goBack);

    m_view = new QTableView(this);
    m_view->setObjectName(QStringLiteral("MSFlexGrid1"));
    m_view->setModel(&m_grid);
    m_view->setItemDelegate(new CellColourDelegate(m_view));
    m_view->setFont(style::font(11));
    m_view->setGeometry(kGridLeft, kGridTop, kGridWidth, kGridHeight);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setSelectionMode(QAbstractItemView::NoSelection);
    m_view->setFocusPolicy(Qt::NoFocus);
    m_view->verticalHeader()->hide();
    m_view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_view->verticalHeader()->setDefaultSectionSize(kRowHeight);
    m_view->horizontalHeader()->setFont(style::font(10));
    m_view->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_view->horizontalHeader()->setHighlightSections(false);
    // The titles are longer than a thirteenth of the grid: they wrap onto a second line.
    m_view->horizontalHeader()->setDefaultAlignment(Qt::Alignment(Qt::AlignCenter | Qt::TextWordWrap));
    m_view->horizontalHeader()->setFixedHeight(44);
    m_view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_view->setAccessibleName(QStringLiteral("レベルごとの基準"));
    style::setRole(m_view, style::Role::Grid);
    connect(m_view, &QTableView::clicked, this, &StandardsScreen::cellClicked);

    // The editor box lives on the grid's viewport, so that it scrolls with the cells.
    m_box = new QLineEdit(m_view->viewport());
    m_box->setObjectName(QStringLiteral("Gridinputtext"));
    m_box->setFont(style::font(11));
    m_box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    style::entry(m_box, true);
    m_box->installEventFilter(this);
    m_box->hide();
    connect(m_box, &QLineEdit::textEdited, this,
            [this](const QString &text) { m_editor.boxTextChanged(text); });
    connect(m_box, &QLineEdit::textChanged, this, [this] {
        if (m_box->isVisible())
            fitEditor();
    });

    label(this, QStringLiteral("lblHelpHeading"), QStringLiteral("列の説明"), style::font(12, true),
          QRect(16, 598, 200, 24));
    m_help = label(this, QStringLiteral("lblHelp"), QString(), style::font(12), QRect(16, 624, 624, 84));
    style::setRole(m_help, style::Role::Note);
    m_keyHint = label(this, QStringLiteral("lblKeyHint"),
                      QStringLiteral("スペース：セルクリア　　Shift + ↓：セルコピー"), style::font(12),
                      QRect(16, 720, 624, 28));
    style::quiet(m_keyHint);

    auto *panel = app::controls::frame(this, QStringLiteral("picDistribution"), QRect(648, 70, 368, 690));
    style::card(panel);
    label(panel, QStringLiteral("lblDistribution"), QStringLiteral("現在までの成績度数分布"),
          style::font(13, true), QRect(12, 8, 344, 26));
    m_hide = new QRadioButton(QStringLiteral("度数非表示"), panel);
    m_hide->setObjectName(QStringLiteral("optHide"));
    m_hide->setFont(style::font(11));
    m_hide->setGeometry(12, 36, 130, 26);
    m_show = new QRadioButton(QStringLiteral("度数表示"), panel);
    m_show->setObjectName(QStringLiteral("optShow"));
    m_show->setFont(style::font(11));
    m_show->setGeometry(150, 36, 130, 26);
    m_show->setChecked(true);
    // Both show the panel, computed again.
    connect(m_hide, &QRadioButton::clicked, this, &StandardsScreen::showDistribution);
    connect(m_show, &QRadioButton::clicked, this, &StandardsScreen::showDistribution);

    label(panel, QStringLiteral("lblAllResults"), QStringLiteral("全成績"), style::font(11, true),
          QRect(12, 66, 200, 22));
    m_allModel = new QStringListModel(this);
    m_allList = distributionList(panel, QStringLiteral("lstAllResults"), m_allModel, QRect(12, 90, 344, 282));
    label(panel, QStringLiteral("lblBestTimes"), QStringLiteral("最高タイム"), style::font(11, true),
          QRect(12, 380, 200, 22));
    m_bestModel = new QStringListModel(this);
    m_bestList =
        distributionList(panel, QStringLiteral("lstBestTimes"), m_bestModel, QRect(12, 404, 344, 274));

    m_wait = new WaitingPanel(QStringLiteral("Just a moment,please."), false, this);
    m_wait->setObjectName(QStringLiteral("picWait"));
    m_wait->setGeometry(rect());
}

void StandardsScreen::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_wait->setGeometry(rect());
}

void StandardsScreen::showMessage(const QString &text)
{
    app::report(m_context.services, app::warning(QStringLiteral("基準データの変更"), text));
}

void StandardsScreen::activate()
{
    m_help->clear();
    load();
    const QString results = records::resultsFilePath(m_parts.settings.dataFolder);
    if (!QFileInfo::exists(results) && m_editor.firstResultsProblem())
        showMessage(QStringLiteral("成績ファイルがありません：%1\n度数分布は空のまま表示します。")
                        .arg(platform::displayPath(results)));
    m_editor.setCurrent(1, 1);
    setColumnWidths();
    m_box->setVisible(m_editor.boxShown());
    placeEditor();
    gridToText();
    showDistribution();
}

void StandardsScreen::load()
{
    const app::Status read = m_editor.loadTable(records::standards::filePath(m_parts.settings.dataFolder));
    // A table that was not read cannot be saved over the file.
    m_save->setEnabled(m_editor.canSave());
    if (read)
        showMessage(read->text);
}

void StandardsScreen::setColumnWidths()
{
    // The nine fields the teacher sets take five digits and their titles' longer word; the level
    // number and the three reserved columns, which hold little, take less.
    constexpr int kLevelWidth = 48;
    constexpr int kFieldWidth = 54;
    m_view->setColumnWidth(0, kLevelWidth);
    for (int c = 1; c <= 9; ++c)
        m_view->setColumnWidth(c, kFieldWidth);
    const int reserved = teacher::kGridColumns - 10;
    const int left = std::max(m_view->viewport()->width() - kLevelWidth - 9 * kFieldWidth, reserved * 20);
    for (int c = 10; c < teacher::kGridColumns; ++c)
        m_view->setColumnWidth(c, left / reserved);
    // The room left by the division goes to the last column, so that the grid has no empty strip.
    m_view->setColumnWidth(teacher::kGridColumns - 1, left - left / reserved * (reserved - 1));
}

void StandardsScreen::placeEditor()
{
    m_help->setText(m_editor.helpText());
    if (!m_editor.boxShown())
        return;
    const QModelIndex at = m_grid.index(m_editor.row() - 1, m_editor.column());
    m_view->scrollTo(at);
    fitEditor();
    m_box->show();
    m_box->raise();
    m_box->setFocus();
    m_box->setCursorPosition(std::min(teacher::kCaretPosition, int(m_box->text().size())));
    showSelection();
}

void StandardsScreen::fitEditor()
{
    // The box lies over the current cell; a text wider than the cell widens it to the left (the
    // numbers are right-aligned), so that every digit shows.
    if (m_grid.levelCount() == 0)
        return;
    QRect cell = m_view->visualRect(m_grid.index(m_editor.row() - 1, m_editor.column()));
    const QMargins margins = m_box->textMargins();
    // The frame and padding of the box's style, and the line edit's own margin of 2 on either side.
    constexpr int kChrome = 2 * (2 + 2 + 2) + 2;
    const int needed =
        m_box->fontMetrics().horizontalAdvance(m_box->text()) + margins.left() + margins.right() + kChrome;
    if (needed > cell.width())
        cell.setLeft(std::max(0, cell.right() + 1 - needed));
    if (needed > cell.width())
        cell.setWidth(needed);
    m_box->setGeometry(cell);
}

void StandardsScreen::showSelection()
{
    // The current cell, and the rows that Shift + Down copies into.
    const int column = m_editor.column();
    const QItemSelection range(m_grid.index(m_editor.row() - 1, column),
                               m_grid.index(m_editor.selectionEndRow() - 1, column));
    m_view->selectionModel()->select(range, QItemSelectionModel::ClearAndSelect);
}

void StandardsScreen::gridToText()
{
    m_editor.gridToText();
    m_box->setText(m_editor.boxText());
    m_box->setCursorPosition(m_editor.caret());
}

void StandardsScreen::showDistribution()
{
    ++m_distributionCount;
    teacher::Distribution distribution;
    QByteArray bytes;
    qint64 first = 0;
    qint64 total = 0;
    int errorNumber = 0;
    const QString path = records::resultsFilePath(m_parts.settings.dataFolder);
    const records::ReadOutcome outcome =
        records::readLastRecordBytes(path, INT_MAX, m_fileWait, &bytes, &first, &total, &errorNumber);
    m_fileWait.done();
    if (outcome == records::ReadOutcome::Read) {
        distribution.count(bytes.constData(), bytes.size() / records::kRecordSize);
    } else if (m_editor.firstResultsProblem()) {
        showMessage(QStringLiteral("成績ファイルを読めません：%1\n%2")
                        .arg(platform::displayPath(path), platform::LockedFile::describeError(errorNumber)));
    }
    const int level = m_editor.boxShown() ? m_editor.row() : 0;
    m_allModel->setStringList(teacher::allResultsLines(distribution, level));
    m_bestModel->setStringList(teacher::bestTimeLines(distribution, level));
    // A hundred lines do not fit the panel: when the first line with stars is out of sight, the list
    // starts at the line before it.
    for (QListView *list : {m_allList, m_bestList}) {
        list->scrollToTop();
        const QStringList lines = qobject_cast<QStringListModel *>(list->model())->stringList();
        for (qsizetype i = 1; i < lines.size(); ++i) {
            if (!lines[i].contains(u'★'))
                continue;
            const QRect seen = list->visualRect(list->model()->index(int(i), 0));
            if (!list->viewport()->rect().contains(seen))
                list->scrollTo(list->model()->index(int(i - 1), 0), QAbstractItemView::PositionAtTop);
            break;
        }
    }
}

void StandardsScreen::cellClicked(const QModelIndex &index)
{
    if (!index.isValid() || !m_editor.boxShown())
        return;
    m_editor.setCurrent(index.row() + 1, std::max(index.column(), 1));
    // The box shows the new cell's text before the panel is computed: the panel may show a message,
    // and the box must not show the last cell's text over this one meanwhile.
    gridToText();
    placeEditor();
    showDistribution();
    gridToText();
}

bool StandardsScreen::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_box || event->type() != QEvent::KeyPress || !m_editor.boxShown())
        return QWidget::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    const teacher::KeyOutcome outcome =
        m_editor.pressKey(editorKey(key), key->modifiers().testFlag(Qt::ShiftModifier));
    if (outcome.moved) {
        gridToText(); // see cellClicked
        placeEditor();
    }
    if (outcome.refresh) {
        showDistribution();
        gridToText();
        showSelection();
    }
    return outcome.swallow;
}

void StandardsScreen::reload()
{
    load();
    m_editor.setCurrent(m_editor.row(), m_editor.column());
    m_box->setVisible(m_editor.boxShown());
    placeEditor();
    gridToText();
    showDistribution();
}

bool StandardsScreen::save()
{
    const bool saved = writeTable();
    // Whatever came of it, the teacher goes on in the grid (a click on the button took the focus).
    if (m_box->isVisible())
        m_box->setFocus();
    return saved;
}

bool StandardsScreen::writeTable()
{
    if (!m_editor.canSave())
        return false;
    const QString path = records::standards::filePath(m_parts.settings.dataFolder);
    const teacher::SaveCheck check = m_editor.checkSave(path);
    if (check.step == teacher::SaveCheck::Step::Refused) {
        showMessage(check.text);
        return false;
    }
    if (check.step == teacher::SaveCheck::Step::Ask &&
        !m_context.services.messages.ask(QStringLiteral("注意"), check.text))
        return false;
    m_wait->showNow();
    const app::Status written = records::standards::writeStandardsTable(path, m_grid.fileRows());
    m_wait->end();
    if (written) {
        showMessage(written->text);
        return false;
    }
    m_editor.setChanged(false);
    // The new values take effect at once: the hub shows them when it is shown again.
    if (const app::Status read = records::standards::readStandardsTable(path, m_parts.standards))
        showMessage(read->text);
    return true;
}

void StandardsScreen::goBack()
{
    if (m_editor.leaving())
        return;
    if (m_editor.changed() &&
        m_context.services.messages.ask(QStringLiteral("注意"),
                                        QStringLiteral("データが変更されています。記録しますか？")) &&
        !save())
        return; // the table was not written: the teacher stays with the edits
    m_editor.setLeaving();
    m_wait->showNow();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    m_context.navigator.showHub();
}

} // namespace teacher
