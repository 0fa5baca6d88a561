#include "roster/forms/NameScreen.h"

#include "app/ProgramVersion.h"
#include "app/forms/Controls.h"
#include "app/forms/Style.h"
#include "app/forms/WaitingPanel.h"
#include "sound/SoundPlayer.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QStringListModel>

namespace roster {

namespace style = app::style;

namespace {
QFrame *card(QWidget *parent, const QRect &geometry)
{
    auto *frame = new QFrame(parent);
    frame->setObjectName(QStringLiteral("card"));
    style::card(frame);
    frame->setGeometry(geometry);
    return frame;
}

QLabel *label(const QString &text, const QFont &font, QWidget *parent, const QRect &geometry)
{
    QLabel *l = app::controls::label(parent, QString(), text, font, geometry);
    style::ink(l);
    return l;
}
} // namespace

NameScreen::NameScreen(const Parts &parts, AppContext &context, QWidget *parent)
    : QWidget(parent), m_parts(parts), m_context(context), m_selection(parts.selection, context.services)
{
    setObjectName(QStringLiteral("namesel"));
    resize(1024, 768);
    style::background(this, QColor::fromRgb(m_parts.selection.settings.seasonColour));

    // Title.
    QFrame *titleCard = card(this, QRect(32, 20, 560, 92));
    m_title = label(m_parts.selection.catalogue.programTitle, style::font(48, true), titleCard,
                    QRect(24, 4, 520, 84));
    m_title->setObjectName(QStringLiteral("lblTitle"));

    m_developmentMarker = new QLabel(QStringLiteral("開発中"), this);
    m_developmentMarker->setObjectName(QStringLiteral("lblDevelopment"));
    m_developmentMarker->setFont(style::font(14, true));
    style::marker(m_developmentMarker);
    m_developmentMarker->adjustSize();
    m_developmentMarker->move(1024 - 32 - m_developmentMarker->width(), 24);
    m_developmentMarker->hide();

    // The name list.
    QFrame *listCard = card(this, QRect(32, 128, 560, 612));
    m_full = new QStringListModel(this);
    m_full->setObjectName(QStringLiteral("List2"));
    m_numbered = new QStringListModel(this);
    m_numbered->setObjectName(QStringLiteral("List3"));
    m_list1 = new QListView(listCard);
    m_list1->setObjectName(QStringLiteral("List1"));
    m_list1->setAccessibleName(QStringLiteral("名前"));
    m_list1->setModel(&m_selection.names());
    m_list1->setFont(style::monoFont(13));
    m_list1->setUniformItemSizes(true);
    m_list1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list1->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list1->setGeometry(12, 12, 536, 588);
    style::setRole(m_list1, style::Role::CardList);
    connect(m_list1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (!m_redrawing && current.isValid())
                    chooseRow(current.row(), false);
            });
    connect(&m_selection.names(), &QAbstractItemModel::modelReset, this, &NameScreen::listDrawn);
    connect(m_list1, &QListView::doubleClicked, this, [this](const QModelIndex &index) {
        if (index.isValid()) {
            chooseRow(index.row(), true);
            confirm();
        }
    });

    // The controls beside it.
    QFrame *side = card(this, QRect(612, 128, 380, 612));
    auto *gradeHint =
        label(QStringLiteral("表示する学年を選びなさい"), style::font(13), side, QRect(20, 12, 340, 28));
    gradeHint->setObjectName(QStringLiteral("lblGradeHint"));
    m_combo1 = new QComboBox(side);
    m_combo1->setObjectName(QStringLiteral("Combo1"));
    m_combo1->setAccessibleName(QStringLiteral("表示する学年を選びなさい"));
    m_combo1->setToolTip(QStringLiteral("表示する学年を選びなさい"));
    m_combo1->setFont(style::font(16));
    m_combo1->setGeometry(20, 42, 340, 40);
    connect(m_combo1, &QComboBox::activated, this, [this] {
        drawList([this] { return m_selection.chooseGradeGroup(m_combo1->currentText()); });
        m_list1->setFocus();
    });

    m_modes = new QButtonGroup(this);
    for (int mode = 0; mode < roster::namelist::kDisplayModeCount; ++mode) {
        auto *option = new QRadioButton(roster::namelist::displayModeCaption(mode), side);
        option->setObjectName(QStringLiteral("Option1_%1").arg(mode));
        option->setFont(style::font(13));
        option->setGeometry(20, 96 + mode * 34, 340, 32);
        m_modes->addButton(option, mode);
        m_option1[mode] = option;
    }
    connect(m_modes, &QButtonGroup::idClicked, this,
            [this](int mode) { drawList([this, mode] { return m_selection.chooseDisplayMode(mode); }); });

    m_chosenName = new QLabel(m_selection.chosenName(), side);
    m_chosenName->setObjectName(QStringLiteral("lblChosenName"));
    m_chosenName->setFont(style::font(20, true));
    m_chosenName->setAlignment(Qt::AlignCenter);
    m_chosenName->setGeometry(20, 242, 340, 56);
    style::setRole(m_chosenName, style::Role::Chosen);
    m_chosenNumber = new QLabel(side);
    m_chosenNumber->setObjectName(QStringLiteral("lblChosenNumber"));
    m_chosenNumber->hide();

    m_ok = new QPushButton(QStringLiteral("O.K."), side);
    m_ok->setObjectName(QStringLiteral("Command14"));
    m_ok->setFont(style::font(28, true));
    m_ok->setGeometry(20, 312, 340, 76);
    style::accentButton(m_ok, style::Size::Large);
    connect(m_ok, &QPushButton::clicked, this, &NameScreen::confirm);

    m_print = new QPushButton(QStringLiteral("印刷"), side);
    m_print->setObjectName(QStringLiteral("Command1"));
    m_print->setFont(style::font(14));
    m_print->setGeometry(20, 404, 340, 40);
    style::plainButton(m_print);
    connect(m_print, &QPushButton::clicked, this, [this] { m_context.navigator.showWorksheet(false); });

    m_programMenu = new QPushButton(QStringLiteral("プログラムメニューへ"), side);
    m_programMenu->setObjectName(QStringLiteral("Command13"));
    m_programMenu->setFont(style::font(14));
    m_programMenu->setGeometry(20, 460, 340, 40);
    style::plainButton(m_programMenu);
    connect(m_programMenu, &QPushButton::clicked, this, &NameScreen::leaveForProgramMenu);

    m_programMenu0 = new QPushButton(QStringLiteral("ﾌﾟﾟﾛｸﾞﾗﾑメニューへ(0)"), side);
    m_programMenu0->setObjectName(QStringLiteral("Command7"));
    m_programMenu0->setFont(style::font(14));
    m_programMenu0->setGeometry(20, 508, 340, 40);
    style::plainButton(m_programMenu0);
    connect(m_programMenu0, &QPushButton::clicked, this, &NameScreen::leaveForProgramMenu);

    m_version = new QPushButton(app::versionLine(), side);
    m_version->setObjectName(QStringLiteral("lblVersion"));
    m_version->setFont(style::font(10));
    m_version->setCursor(Qt::PointingHandCursor);
    m_version->setGeometry(20, 568, 340, 28);
    style::linkButton(m_version);
    connect(m_version, &QPushButton::clicked, this, [this] { m_context.navigator.showVersionBox(this); });

    m_wait = new WaitingPanel(QStringLiteral("Just a moment, please."), false, this);
    m_wait->setObjectName(QStringLiteral("picWait"));
    m_wait->setGeometry(0, 0, 520, 120);
    m_wait->setBackground(QColor::fromRgb(m_parts.selection.settings.seasonColour));

    setTabOrder(m_list1, m_ok);
    installKeyPreview();
}

void NameScreen::installKeyPreview()
{
    installEventFilter(this);
    for (QWidget *child : findChildren<QWidget *>())
        child->installEventFilter(this);
}

void NameScreen::activate()
{
    m_developmentMarker->setVisible(m_selection.developmentMarkerShown());
    if (m_combo1->count() == 0)
        m_combo1->addItems(roster::namelist::gradeGroupItems());
    m_combo1->setCurrentIndex(0);
    if (!drawList([this] { return m_selection.activate(); }))
        return;
    m_option1[m_selection.displayMode()]->setChecked(true);
    m_list1->setFocus();
}

bool NameScreen::showRoster()
{
    return drawList([this] { return m_selection.redraw(); });
}

bool NameScreen::drawList(const std::function<app::Status()> &draw)
{
    m_wait->begin();
    m_redrawing = true;
    const app::Status failed = draw();
    m_redrawing = false;
    showChoice();
    m_wait->end();
    return !app::report(m_context.services, failed);
}

void NameScreen::listDrawn()
{
    const roster::namelist::Lists &lists = m_selection.names().lists();
    m_full->setStringList(lists.full);
    m_numbered->setStringList(lists.numbered);
    m_wait->step(1);
    m_list1->setCurrentIndex(m_selection.names().index(0));
}

void NameScreen::chooseRow(int row, bool doubleClick)
{
    m_selection.choose(row, doubleClick);
    showChoice();
}

void NameScreen::showChoice()
{
    m_chosenName->setText(m_selection.chosenName());
    if (m_selection.chosenStudent() >= 0)
        m_chosenNumber->setText(QString::number(m_selection.chosenStudent()));
}

void NameScreen::confirm()
{
    switch (m_selection.confirm()) {
    case roster::NameSelection::Confirmation::Ignored:
        return;
    case roster::NameSelection::Confirmation::NoNameChosen:
        app::report(m_context.services,
                    sound::playKindSound(m_parts.sound, m_parts.selection.settings.soundFolder,
                                         m_context.services, roster::NameSelection::kNoNameSound));
        return;
    case roster::NameSelection::Confirmation::SignedIn:
        m_ok->hide();
        m_wait->showNow();
        m_context.navigator.showHub();
        return;
    }
}

void NameScreen::leaveForProgramMenu()
{
    app::report(m_context.services, m_selection.startProgramMenu());
    m_context.services.programEnd.endProgram(0);
}

bool NameScreen::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return QWidget::eventFilter(watched, event);
    const QString text = key->text();
    if (text == QStringLiteral("1")) {
        confirm();
        return true;
    }
    if (text == QStringLiteral("0")) {
        if (m_programMenu0->isVisible())
            leaveForProgramMenu();
        return true;
    }
    if (watched == m_list1 &&
        (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Space)) {
        confirm();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace roster
