#include "hub/forms/HubScreen.h"

#include "app/Failure.h"
#include "app/SignInTime.h"
#include "app/forms/Controls.h"
#include "app/forms/Style.h"
#include "app/forms/WaitingPanel.h"
#include "drill/LevelCatalogue.h"
#include "hub/HubLabels.h"
#include "hub/HubRules.h"
#include "hub/forms/PasswordPanel.h"
#include "hub/forms/PersonalDataPanel.h"
#include "records/ResultsFile.h"
#include "records/StandardsTable.h"
#include "records/Statistics.h"
#include "roster/NameList.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStringListModel>

namespace hub {

namespace style = app::style;

namespace {
constexpr int kAreaLeft = 8;
constexpr int kAreaTop = 190;
constexpr int kAreaWidth = 1008;
constexpr int kAreaHeight = 546;
constexpr int kColumnWidth = kAreaWidth / hub::kColumnsInView;
constexpr int kPracticeColumnHeight = 104;
constexpr int kStudentPointSize = 18;
constexpr int kSmallestStudentPointSize = 12;

// The start buttons are what the student does next; every other button is plain.
enum class Look { Accent, Plain };

QFrame *card(QWidget *parent, const QRect &geometry, const QString &name = QStringLiteral("card"))
{
    auto *frame = new QFrame(parent);
    frame->setObjectName(name);
    style::card(frame);
    frame->setGeometry(geometry);
    return frame;
}

QLabel *label(QWidget *parent, const QString &name, const QFont &font, const QRect &geometry,
              Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter)
{
    QLabel *l = app::controls::label(parent, name, QString(), font, geometry, alignment);
    style::ink(l);
    return l;
}

QPushButton *button(QWidget *parent, const QString &name, const QString &text, const QFont &font,
                    const QRect &geometry, Look look)
{
    QPushButton *b = app::controls::button(parent, name, text, font, geometry);
    if (look == Look::Accent)
        style::accentButton(b);
    else
        style::plainButton(b);
    return b;
}

QString controlName(const char *base, int index)
{
    return QStringLiteral("%1_%2").arg(QLatin1String(base)).arg(index);
}
} // namespace

HubScreen::HubScreen(const Parts &parts, AppContext &context, QWidget *parent)
    : QWidget(parent), m_parts(parts), m_context(context),
      m_model({parts.run, parts.catalogue, parts.standards, parts.results, parts.statistics, parts.roster})
{
    setObjectName(QStringLiteral("seisekitime1"));
    resize(1024, 768);
    style::background(this, QColor::fromRgb(m_parts.settings.seasonColour));

    buildHeader();
    buildViewControls();
    buildColumns();

    m_rankingWait = new WaitingPanel(QStringLiteral("Just a momento, please."), true, this);
    m_rankingWait->setObjectName(QStringLiteral("picRankingWait"));
    m_rankingWait->setGeometry(262, 330, 500, 130);
    m_wait = new WaitingPanel(QStringLiteral("Just a moment, please."), true, this);
    m_wait->setObjectName(QStringLiteral("picWait"));
    m_wait->setGeometry(0, 320, width(), 150);
    m_passwordPanel = attachPasswordPanel(this, m_dataProcessing, {m_parts.settings, m_parts.catalogue},
                                          m_context, [this] { m_model.leave(); });
    connect(m_passwordPanel, &PasswordPanel::opened, this, [this] { m_model.setPasswordPanelOpen(true); });
    connect(m_passwordPanel, &PasswordPanel::closed, this, [this] { m_model.setPasswordPanelOpen(false); });

    installKeyPreview();

    // Over the columns, below the view controls; outside the key preview, so that typing in its lists
    // starts no drill.
    m_personalData = new PersonalDataPanel(
        {m_parts.settings, m_parts.catalogue, m_parts.run, m_parts.roster, m_parts.results,
         m_parts.statistics},
        m_context, [this] { return m_model.gradeFilter(); }, this);
    m_personalData->setGeometry(kAreaLeft, kAreaTop, kAreaWidth, 572);
    connect(m_graph, &QPushButton::clicked, m_personalData, &PersonalDataPanel::showOwnSheet);
    m_rankingWait->raise();
    m_wait->raise();
}

void HubScreen::buildHeader()
{
    // Laid out for the longest name a roster holds (20 characters) and its grade: the student line has
    // the header's middle to itself; the number, the minutes and the day's total share the line below.
    QFrame *header = card(this, QRect(8, 8, 1008, 94), QStringLiteral("pnlHeader"));
    header->setAccessibleName(QStringLiteral("生徒"));
    m_title = label(header, QStringLiteral("lblTitle"), style::font(24, true), QRect(16, 6, 226, 50));
    m_hint = label(header, QStringLiteral("lblHint"), style::font(10), QRect(16, 60, 226, 26));
    style::quiet(m_hint); // the key hints
    m_student = label(header, QStringLiteral("lblStudent"), style::font(kStudentPointSize, true),
                      QRect(250, 6, 566, 44));
    m_number = label(header, QStringLiteral("lblNumber"), style::font(12), QRect(252, 54, 224, 32));
    m_elapsed = label(header, QStringLiteral("lblElapsed"), style::font(12), QRect(482, 54, 136, 32));
    m_dayTotal = label(header, QStringLiteral("lblDayTotal"), style::font(14, true), QRect(622, 54, 194, 32));

    m_print = button(header, QStringLiteral("Command27"), QStringLiteral("印刷"), style::font(12),
                     QRect(824, 10, 84, 34), Look::Plain);
    m_dataProcessing = button(header, QStringLiteral("Command8"), QStringLiteral("データ処理"),
                              style::font(11), QRect(824, 50, 84, 34), Look::Plain);
    connect(m_print, &QPushButton::clicked, this, [this] { m_context.navigator.showWorksheet(true); });
    m_back = button(header, QStringLiteral("Command1"), hub::backCaption(), style::font(16, true),
                    QRect(914, 10, 84, 74), Look::Plain);
    m_back->setEnabled(false); // until the activation has filled the screen
    connect(m_back, &QPushButton::clicked, this, &HubScreen::goBack);
}

void HubScreen::buildViewControls()
{
    QFrame *controls = card(this, QRect(8, 110, 1008, 74), QStringLiteral("pnlView"));
    controls->setAccessibleName(QStringLiteral("表示"));
    m_displayGroup = new QButtonGroup(this);
    for (int i = 0; i < 3; ++i) {
        m_option2[i] = new QRadioButton(hub::displayOptionCaption(i), controls);
        m_option2[i]->setObjectName(controlName("Option2", i));
        m_option2[i]->setFont(style::font(12, true));
        m_option2[i]->setGeometry(16 + i * 118, 6, 116, 30);
        m_displayGroup->addButton(m_option2[i], i);
    }
    connect(m_displayGroup, &QButtonGroup::idClicked, this, &HubScreen::displayOptionClicked);

    m_choiceGroup = new QButtonGroup(this);
    const QStringList captions = hub::listChoiceCaptionsForTimes();
    for (int i = 1; i <= 3; ++i) {
        m_option1[i] = new QRadioButton(captions[i - 1], controls);
        m_option1[i]->setObjectName(controlName("Option1", i));
        m_option1[i]->setFont(style::font(12));
        m_option1[i]->setGeometry(16 + (i - 1) * 118, 38, 116, 30);
        m_choiceGroup->addButton(m_option1[i], i);
    }
    connect(m_choiceGroup, &QButtonGroup::idClicked, this, &HubScreen::listChoiceClicked);

    m_combo1 = new QComboBox(controls);
    m_combo1->setObjectName(QStringLiteral("Combo1"));
    m_combo1->setFont(style::font(12));
    m_combo1->setGeometry(378, 6, 150, 30);
    m_combo1->addItems(m_model.gradeFilterItems());
    m_combo1->setToolTip(hub::gradeFilterToolTip());
    m_combo1->setAccessibleName(hub::gradeFilterToolTip());
    connect(m_combo1, &QComboBox::activated, this, &HubScreen::gradeFilterChosen);

    m_combo2 = new QComboBox(controls);
    m_combo2->setObjectName(QStringLiteral("Combo2"));
    m_combo2->setFont(style::font(12));
    m_combo2->setGeometry(378, 38, 230, 30);
    m_combo2->addItems(hub::periodItems());
    m_combo2->setCurrentIndex(hub::kDefaultPeriod - 1);
    m_combo2->setAccessibleName(QStringLiteral("期間"));
    m_combo2->hide();
    connect(m_combo2, &QComboBox::activated, this, &HubScreen::periodChosen);

    m_heading = label(controls, QStringLiteral("Label5"), style::font(16, true), QRect(624, 6, 300, 32));
    m_graph = button(controls, QStringLiteral("Command17"), QStringLiteral("グラフ"), style::font(12),
                     QRect(624, 40, 100, 28), Look::Plain);
    m_graph->hide();

    // The colour samples of the run lists.
    m_text4 = new QLabel(controls);
    m_text4->setObjectName(QStringLiteral("Text4"));
    style::background(m_text4, QColor::fromRgb(hub::listColourRgb(hub::ListColour::WithinTarget)));
    m_text4->setGeometry(940, 10, 24, 24);
    m_text4->hide();
    m_text5 = new QLabel(controls);
    m_text5->setObjectName(QStringLiteral("Text5"));
    style::background(m_text5, QColor::fromRgb(hub::listColourRgb(hub::ListColour::WithinMinimum)));
    m_text5->setGeometry(970, 10, 24, 24);
    m_text5->hide();
}

void HubScreen::buildColumns()
{
    m_columnArea = new QWidget(this);
    m_columnArea->setObjectName(QStringLiteral("pnlColumns"));
    m_columnArea->setAccessibleName(QStringLiteral("レベル一覧"));
    m_columnArea->setGeometry(kAreaLeft, kAreaTop, kAreaWidth, kAreaHeight);

    const drill::Catalogue &catalogue = m_parts.catalogue;
    const int count = levelCount();
    for (int level = 1; level <= count; ++level) {
        Column &c = m_columns[std::size_t(level)];
        c.panel =
            card(m_columnArea, QRect(0, 0, kColumnWidth - 6, kAreaHeight), controlName("pnlLevel", level));
        c.panel->setAccessibleName(
            hub::columnAccessibleName(level, catalogue.levelNames[std::size_t(level)]));
        const int w = kColumnWidth - 6 - 16;

        c.title = button(c.panel, controlName("Label3", level), catalogue.levelNames[std::size_t(level)],
                         style::font(15, true), QRect(8, 8, w, 36), Look::Plain);
        c.title->setToolTip(catalogue.levelNames[std::size_t(level)]);
        connect(c.title, &QPushButton::clicked, this, [this, level] { titleClicked(level); });

        c.start = button(c.panel, controlName("Command4", level), hub::startCaption(level),
                         style::font(16, true), QRect(8, 50, w, 46), Look::Accent);
        c.start->setToolTip(hub::startToolTip());
        c.start->setEnabled(false);
        connect(c.start, &QPushButton::clicked, this, [this, level] { startLevel(level); });

        c.lock = new QLabel(QString::fromUtf16(hub::kLockText), c.panel);
        c.lock->setObjectName(controlName("Text1", level));
        c.lock->setFont(style::font(16, true));
        c.lock->setAlignment(Qt::AlignCenter);
        c.lock->setGeometry(c.start->geometry());
        style::lockBadge(c.lock);
        c.lock->hide();

        c.standard = label(c.panel, controlName("Label7", level), style::font(10.5), QRect(8, 102, w, 22));
        c.passPeriod = label(c.panel, controlName("Label8", level), style::font(10.5), QRect(8, 124, w, 22));
        c.todayCaption = label(c.panel, controlName("Label9", level), style::font(12), QRect(8, 148, 62, 24));
        c.todayValue =
            label(c.panel, controlName("Label14", level), style::font(12, true), QRect(72, 148, w - 64, 24));
        c.soFarCaption =
            label(c.panel, controlName("Label10", level), style::font(12), QRect(8, 172, 62, 24));
        c.soFarValue =
            label(c.panel, controlName("Label15", level), style::font(12, true), QRect(72, 172, w - 64, 24));
        c.todayCaption->setText(QString::fromUtf16(hub::kTodayCaption));
        c.soFarCaption->setText(QString::fromUtf16(hub::kSoFarCaption));

        c.model = new QStringListModel(c.panel);
        c.list = new QListView(c.panel);
        c.list->setObjectName(controlName("List5", level));
        c.list->setAccessibleName(catalogue.levelNames[std::size_t(level)]);
        c.list->setModel(c.model);
        c.list->setFont(style::monoFont(11));
        c.list->setUniformItemSizes(true);
        c.list->setEditTriggers(QAbstractItemView::NoEditTriggers);
        c.list->setSelectionMode(QAbstractItemView::SingleSelection);
        c.list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        c.list->setGeometry(4, 202, kColumnWidth - 6 - 8, kAreaHeight - 206);
        setListColour(c, hub::ListColour::None);
    }

    m_hscroll = new QScrollBar(Qt::Horizontal, this);
    style::inheritColours(m_hscroll);
    m_hscroll->setObjectName(QStringLiteral("HScroll1"));
    m_hscroll->setGeometry(kAreaLeft, kAreaTop + kAreaHeight + 6, kAreaWidth, 22);
    m_hscroll->setAccessibleName(QStringLiteral("レベル"));
    m_hscroll->setRange(1, m_model.scrollMaximum());
    if (count > hub::kColumnsInView)
        m_hscroll->setPageStep(hub::kColumnsInView);
    else
        m_hscroll->hide();
    connect(m_hscroll, &QScrollBar::valueChanged, this, [this](int value) {
        m_model.scrollTo(value);
        placeColumns();
    });
}

void HubScreen::installKeyPreview()
{
    // The keys work wherever the focus is in the window: a view change made with the mouse disables the
    // focused option for a moment, and the focus may go to the window itself or nowhere. So the hub
    // looks at every key of the program and takes those meant for its window.
    qApp->installEventFilter(this);
}

bool HubScreen::isPractice(int level) const
{
    return catalogue::isPracticeLevel(m_parts.catalogue, level);
}

bool HubScreen::isTeacher() const
{
    return roster::namelist::isTeacherName(m_parts.run.studentName);
}

void HubScreen::activate()
{
    Services &services = m_context.services;
    const int count = levelCount();
    const bool teacher = isTeacher();

    m_print->setVisible(hub::printButtonShown(m_parts.catalogue.printMode, teacher));
    m_dataProcessing->setVisible(teacher);
    m_elapsed->setText(hub::elapsedText(
        app::minutesSinceSignIn(services.clock.secondsSinceMidnight(), m_parts.run.nameConfirmedTime)));
    m_model.beginActivation();
    m_wait->begin(count);

    setListChoiceCaptions(m_model.listChoiceCaptions());
    if (app::report(services,
                    records::computeStatistics({m_parts.settings, m_parts.catalogue}, m_parts.standards,
                                               m_parts.results, m_parts.statistics, services)))
        return;
    m_wait->step(0);

    const qint64 runsToday = records::todayTotalRuns(m_parts.statistics, m_parts.run.studentNumber);
    m_parts.lastDrill.todayTotalCount = records::keptDayTotal(runsToday);
    m_dayTotal->setText(hub::dayTotalText(runsToday));

    records::standards::setPracticeTimes(m_parts.standards, m_parts.catalogue);

    m_student->setText(hub::studentLine(m_parts.run.studentName, m_parts.run.currentGrade));
    fitStudentLine();
    m_number->setText(hub::numberLine(m_parts.run.studentNumber, m_parts.settings.schoolName));
    m_title->setText(m_parts.catalogue.programTitle);
    m_title->setFont(style::font(hub::titlePointSize(m_parts.catalogue.programTitle), true));
    m_hint->setText(hub::hintText());

    const hub::HubView view = m_model.activate();
    {
        const QSignalBlocker block(m_hscroll);
        m_hscroll->setValue(m_model.scrollPosition());
    }
    placeColumns();
    fillColumnTexts();

    const QStringList grades = m_model.gradeFilterItems();
    for (int i = int(m_combo1->count()); i < grades.size(); ++i)
        m_combo1->addItem(grades[i]);
    m_combo1->setCurrentIndex(m_model.gradeFilterIndex());
    showView(view);

    m_wait->end();
    m_model.finishActivation();
}

void HubScreen::fitStudentLine()
{
    // Twenty characters fit at the header's size; a font that draws them wider gets a smaller size
    // rather than a line that runs under the labels beside it.
    for (int size = kStudentPointSize; size >= kSmallestStudentPointSize; --size) {
        m_student->setFont(style::font(size, true));
        if (m_student->fontMetrics().horizontalAdvance(m_student->text()) <= m_student->width())
            return;
    }
}

void HubScreen::fillColumnTexts()
{
    for (int level = 1; level <= levelCount(); ++level) {
        Column &c = m_columns[std::size_t(level)];
        const hub::ColumnTexts texts = m_model.columnTexts(level);
        c.title->setText(texts.title);
        c.standard->setText(texts.standard);
        c.passPeriod->setText(texts.passPeriod);
        c.todayValue->setText(texts.todayValue);
        c.soFarValue->setText(texts.soFarValue);
        for (QWidget *w : {static_cast<QWidget *>(c.standard), static_cast<QWidget *>(c.passPeriod),
                           static_cast<QWidget *>(c.todayCaption), static_cast<QWidget *>(c.todayValue),
                           static_cast<QWidget *>(c.soFarCaption), static_cast<QWidget *>(c.soFarValue)})
            w->setVisible(!texts.practice);
        if (texts.practice)
            c.list->hide();
    }
}

void HubScreen::placeColumns()
{
    const int count = levelCount();
    if (count == 0)
        return;
    const int width = count < 5 ? kAreaWidth / count : kColumnWidth;
    const int position = count < 5 ? 1 : m_hscroll->value();
    for (int level = 1; level <= count; ++level) {
        Column &c = m_columns[std::size_t(level)];
        int left = (level - position) * width;
        if (left < 0)
            left = kAreaWidth; // out of view at the right edge
        // A practice column holds only its title and start button.
        c.panel->setGeometry(left + 3, 0, width - 6, isPractice(level) ? kPracticeColumnHeight : kAreaHeight);
    }
}

void HubScreen::setListChoiceCaptions(const QStringList &captions)
{
    for (int i = 1; i <= 3; ++i)
        m_option1[i]->setText(captions.value(i - 1));
}

void HubScreen::showViewControls(bool working)
{
    // While the lists are rebuilt every view control waits.
    m_option2[int(m_model.display())]->setChecked(true);
    m_option1[m_model.listChoice()]->setChecked(true);
    setListChoiceCaptions(m_model.listChoiceCaptions());
    for (QRadioButton *option : m_option2)
        option->setEnabled(!working);
    for (int i = 1; i <= 3; ++i)
        m_option1[i]->setEnabled(!working && m_model.listChoicesEnabled());
    m_combo1->setEnabled(!working);
    m_combo2->setEnabled(!working);
    {
        const QSignalBlocker block(m_combo2);
        m_combo2->setCurrentIndex(m_model.period() - 1);
    }
    m_combo2->setVisible(!working && m_model.periodShown());
    m_graph->setVisible(m_model.graphShown());
}

void HubScreen::disableStartButtons()
{
    for (int level = 1; level <= levelCount(); ++level) {
        m_columns[std::size_t(level)].start->setEnabled(false);
        m_columns[std::size_t(level)].title->setEnabled(false);
    }
}

void HubScreen::clearLists()
{
    for (int level = 1; level <= levelCount(); ++level)
        m_columns[std::size_t(level)].list->hide();
}

void HubScreen::beginListWork()
{
    m_model.beginListWork();
    m_back->setEnabled(m_model.backEnabled());
    disableStartButtons();
    clearLists();
    if (!m_wait->isRunning())
        m_rankingWait->begin(levelCount());
}

void HubScreen::endListWork()
{
    m_model.endListWork();
    m_back->setEnabled(m_model.backEnabled());
    applyAvailability();
    showLevelLists();
    m_rankingWait->end();
}

void HubScreen::showLevelLists()
{
    for (int level = 1; level <= levelCount(); ++level)
        m_columns[std::size_t(level)].list->setVisible(!isPractice(level));
}

HubScreen::FocusKeeper::FocusKeeper(HubScreen *hub) : m_hub(hub)
{
    QWidget *focused = QApplication::focusWidget();
    if (focused && hub->isAncestorOf(focused))
        m_focused = focused;
}

HubScreen::FocusKeeper::~FocusKeeper()
{
    // The focused control is disabled while the lists are rebuilt, which sends the focus away from
    // the hub; it goes back to where it was, or to the hub.
    QWidget *now = QApplication::focusWidget();
    if (now && m_hub->isAncestorOf(now))
        return;
    if (m_focused && m_focused->isEnabled() && m_focused->isVisible())
        m_focused->setFocus();
    else if (m_hub->isVisible())
        m_hub->setFocus();
}

void HubScreen::displayOptionClicked(int index)
{
    showView(m_model.chooseDisplay(index));
}

void HubScreen::listChoiceClicked(int index)
{
    if (const std::optional<hub::HubView> view = m_model.chooseList(index))
        showView(*view);
}

void HubScreen::periodChosen(int index)
{
    if (const std::optional<hub::HubView> view = m_model.choosePeriod(index + 1))
        showView(*view);
}

void HubScreen::gradeFilterChosen(int index)
{
    // The view shown is built again for the new filter.
    showView(m_model.chooseGradeFilter(index));
    if (levelCount() >= 1)
        m_columns[1].start->setFocus();
}

void HubScreen::showView(hub::HubView view)
{
    const FocusKeeper keepFocus(this);
    m_personalData->hide();
    beginListWork();
    showViewControls(true);
    const int count = m_model.recordsToRead(view);
    const QList<records::ResultRecord> runs = count > 0 ? readRecords(count) : QList<records::ResultRecord>();
    applyView(m_model.lists(view, runs, m_context.services.clock.now().date(),
                            [this](int level) { rankingProgress(level); }));
    showViewControls(false);
    endListWork();
}

void HubScreen::rankingProgress(int level)
{
    // During an activation its own panel tells of the progress; otherwise the ranking panel does.
    if (m_wait->isRunning())
        m_wait->step(level);
    else
        m_rankingWait->step(level);
}

QList<records::ResultRecord> HubScreen::readRecords(int maxCount)
{
    const app::Result<QList<records::ResultRecord>> read = records::readLastRecords(
        records::resultsFilePath(m_parts.settings.dataFolder), maxCount, m_context.services.wait);
    if (!read) {
        app::report(m_context.services, app::warning(QStringLiteral("成績の表示"), read.failure().text));
        return {};
    }
    return read.value();
}

void HubScreen::applyView(const hub::View &view)
{
    m_heading->setText(view.heading);
    for (int level = 1; level <= levelCount(); ++level) {
        Column &c = m_columns[std::size_t(level)];
        const std::size_t l = std::size_t(level);
        const hub::RankedList &list = l < view.lists.size() ? view.lists[l] : hub::RankedList{};
        c.model->setStringList(list.rows);
        setListColour(c, m_model.listColour(level));
        c.list->clearSelection();
        c.list->setCurrentIndex(QModelIndex());
        const int top = view.scrollToOwnRow ? hub::scrollTopForOwnRow(list.ownRow) : -1;
        if (top >= 0)
            c.list->scrollTo(c.model->index(top), QAbstractItemView::PositionAtTop);
        else
            c.list->scrollToTop();
    }
}

void HubScreen::setListColour(Column &column, hub::ListColour colour)
{
    column.colour = colour;
    style::list(column.list, QColor::fromRgb(hub::listColourRgb(colour)));
}

void HubScreen::applyAvailability()
{
    const hub::Availability &availability = m_model.availability();
    for (int level = 1; level <= levelCount(); ++level) {
        Column &c = m_columns[std::size_t(level)];
        const bool startable = m_model.startEnabled(level);
        c.start->setEnabled(startable);
        c.title->setEnabled(startable);
        const bool locked = availability.locked[std::size_t(level)] != 0;
        c.lock->setVisible(locked);
        if (locked)
            c.lock->raise();
    }
    m_rankingWait->raise();
}

void HubScreen::startLevel(int level)
{
    if (!m_model.start(level))
        return;
    m_wait->showNow();
    m_context.navigator.showDrill(level);
}

void HubScreen::titleClicked(int level)
{
    if (m_model.start(level))
        m_context.navigator.showDrill(level);
}

void HubScreen::goBack()
{
    if (!m_model.back())
        return;
    m_wait->showNow();
    QCoreApplication::processEvents();
    m_context.navigator.showNameSelection();
}

bool HubScreen::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !isVisible())
        return QWidget::eventFilter(watched, event);
    // A key reaches the window first and then the widget with the focus (or the window's own widget):
    // only the widget's turn counts, and only in this window while no dialog or popup has the keys.
    auto *receiver = qobject_cast<QWidget *>(watched);
    if (!receiver || receiver->window() != window() || QApplication::activeModalWidget() ||
        QApplication::activePopupWidget())
        return QWidget::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    switch (m_model.key(key->key(), key->modifiers().testFlag(Qt::ControlModifier),
                        key->modifiers().testFlag(Qt::AltModifier))) {
    case hub::HubModel::KeyOutcome::Start:
        startLevel(m_model.keyLevel());
        return true;
    case hub::HubModel::KeyOutcome::Back:
        goBack();
        return true;
    case hub::HubModel::KeyOutcome::Taken:
        return true;
    case hub::HubModel::KeyOutcome::Pass:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace hub
