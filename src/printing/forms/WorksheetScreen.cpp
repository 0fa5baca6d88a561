#include "printing/forms/WorksheetScreen.h"

#include "app/Failure.h"
#include "app/forms/Controls.h"
#include "app/forms/DialogScale.h"
#include "app/forms/Style.h"
#include "printing/forms/PrintLayoutScreen.h"
#include "printing/forms/SheetPainter.h"
#include "roster/NameList.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QTimer>

#include <algorithm>

namespace printing {

namespace style = app::style;

namespace {

const char16_t *const kOptionCaptions[] = {u"すべて印刷", u"問題１カ所", u"問題２カ所", u"問題３カ所",
                                           u"問題４カ所"};

constexpr double kThumbnailScale = 0.52; // of the paper on a 96 dpi screen: 414 × 585 pixels for A4

QFrame *card(QWidget *parent, const QRect &geometry, const QString &name)
{
    QFrame *frame = app::controls::frame(parent, name, geometry);
    style::card(frame);
    return frame;
}

} // namespace

WorksheetScreen::WorksheetScreen(const Parts &parts, AppContext &context, bool signedIn, QWidget *parent)
    : QWidget(parent), m_parts(parts), m_context(context),
      m_choices(parts.idioms, parts.roster, {parts.settings.appFolder, parts.settings.dataFolder}),
      m_signedIn(signedIn)
{
    setObjectName(QStringLiteral("FormPrint0"));
    resize(1024, 768);
    style::background(this, QColor::fromRgb(m_parts.settings.seasonColour));

    m_page = app::controls::frame(this, QStringLiteral("pnlWorksheet"), QRect(0, 0, 1024, 768));

    QFrame *choices = card(m_page, QRect(24, 24, 420, 720), QStringLiteral("pnlChoices"));
    QLabel *title =
        app::controls::label(choices, QStringLiteral("lblTitle"), QStringLiteral("四字熟語プリント"),
                             style::font(24, true), QRect(24, 12, 372, 48));
    style::ink(title);

    m_source = new QComboBox(choices);
    m_source->setObjectName(QStringLiteral("cboSource"));
    m_source->setAccessibleName(QStringLiteral("問題にする熟語"));
    m_source->setFont(style::font(15));
    m_source->setGeometry(24, 64, 372, 40);
    connect(m_source, &QComboBox::activated, this, [this](int index) {
        if (m_showing)
            return;
        m_choices.chooseSource(index);
        rebuild();
    });

    m_rangeHint = app::controls::label(choices, QStringLiteral("lblRanges"),
                                       QStringLiteral("範囲（いくつでも選べます）"), style::font(13),
                                       QRect(24, 110, 372, 28));
    style::ink(m_rangeHint);
    m_ranges = new QStandardItemModel(this);
    for (int range = 1; range <= printing::kRangeCount; ++range) {
        auto *item = new QStandardItem(QString::number(range));
        item->setTextAlignment(Qt::AlignCenter);
        item->setSizeHint(QSize(64, 44));
        item->setEditable(false);
        m_ranges->appendRow(item);
    }
    m_list1 = new QListView(choices);
    m_list1->setObjectName(QStringLiteral("List1"));
    m_list1->setAccessibleName(QStringLiteral("範囲"));
    m_list1->setModel(m_ranges);
    m_list1->setFont(style::font(15, true));
    m_list1->setFlow(QListView::LeftToRight);
    m_list1->setWrapping(true);
    m_list1->setSpacing(4);
    m_list1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list1->setUniformItemSizes(true);
    m_list1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list1->setSelectionMode(QAbstractItemView::MultiSelection);
    m_list1->setGeometry(24, 140, 372, 116);
    style::setRole(m_list1, style::Role::Tiles);
    connect(m_list1->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!m_showing)
            rangesClicked();
    });

    m_check1 = new QCheckBox(QStringLiteral("順序を変える"), choices);
    m_check1->setObjectName(QStringLiteral("Check1"));
    m_check1->setFont(style::font(15));
    m_check1->setGeometry(24, 262, 372, 36);
    m_check1->setChecked(true);
    connect(m_check1, &QCheckBox::clicked, this, [this](bool checked) {
        m_choices.setShuffle(checked);
        rebuild();
    });

    QLabel *blankHint =
        app::controls::label(choices, QStringLiteral("lblBlanks"), QStringLiteral("空らんの数"),
                             style::font(13), QRect(24, 304, 372, 28));
    style::ink(blankHint);
    m_options = new QButtonGroup(this);
    for (int option = printing::PrintEverything; option <= printing::FourBlanks; ++option) {
        auto *button = new QRadioButton(QString::fromUtf16(kOptionCaptions[option - 1]), choices);
        button->setObjectName(QStringLiteral("Option1_%1").arg(option));
        button->setFont(style::font(15));
        // Two to a row: すべて印刷 and one blank, two and three, four.
        const int place = option - 1;
        button->setGeometry(24 + (place % 2) * 186, 334 + (place / 2) * 38, 180, 36);
        m_options->addButton(button, option);
        m_option1[option] = button;
    }
    m_option1[printing::PrintEverything]->setChecked(true);
    connect(m_options, &QButtonGroup::idClicked, this, [this](int option) {
        m_choices.setBlankOption(option);
        rebuild();
    });

    m_count = app::controls::label(choices, QStringLiteral("lblCount"), QString(), style::font(13),
                                   QRect(24, 500, 372, 28));
    style::ink(m_count);

    m_rebuild = app::controls::button(choices, QStringLiteral("Command3"), QStringLiteral("再並べ替え"),
                                      style::font(16), QRect(24, 540, 372, 48));
    style::plainButton(m_rebuild);
    connect(m_rebuild, &QPushButton::clicked, this, [this] { rebuild(); });
    m_toPrinting = app::controls::button(choices, QStringLiteral("Command1"), QStringLiteral("印刷へ"),
                                         style::font(22, true), QRect(24, 600, 180, 96));
    style::accentButton(m_toPrinting, style::Size::Large);
    connect(m_toPrinting, &QPushButton::clicked, this, &WorksheetScreen::openPrintLayout);
    m_back = app::controls::button(choices, QStringLiteral("Command2"), QStringLiteral("もどる"),
                                   style::font(18), QRect(216, 600, 180, 96));
    style::plainButton(m_back);
    connect(m_back, &QPushButton::clicked, this, &WorksheetScreen::close);

    // The sheet in small, drawn by the same routine as the preview and the printed page.
    QFrame *sample = card(m_page, QRect(468, 24, 532, 720), QStringLiteral("pnlSample"));
    QLabel *sampleTitle = app::controls::label(sample, QStringLiteral("lblSample"), QStringLiteral("見本"),
                                               style::font(14, true), QRect(24, 12, 484, 30));
    style::ink(sampleTitle);
    const QSize thumbnail = printing::previewSize(m_choices.worksheet().sheet, kThumbnailScale);
    m_preview = app::controls::label(
        sample, QStringLiteral("picPreview"), QString(), style::font(10),
        QRect((532 - thumbnail.width()) / 2 - 1, 52, thumbnail.width() + 2, thumbnail.height() + 2),
        Qt::AlignCenter);
    m_preview->setAccessibleName(QStringLiteral("見本"));
    style::picture(m_preview);
}

WorksheetScreen::~WorksheetScreen() = default;

void WorksheetScreen::activate()
{
    const app::CurrentRun &run = m_parts.run;
    std::optional<int> signedIn;
    if (m_signedIn)
        signedIn = run.studentNumber;
    m_choices.load(printing::worksheetSources(m_parts.roster, signedIn,
                                              roster::namelist::isTeacherName(run.studentName)));
    m_showing = true;
    m_source->clear();
    for (const printing::WorksheetSource &source : m_choices.sources())
        m_source->addItem(source.caption);
    m_source->setCurrentIndex(m_choices.sourceIndex());
    m_source->setEnabled(m_choices.sourceChoosable());
    QItemSelection ranges;
    for (int range = 1; range <= printing::kRangeCount; ++range)
        if (m_choices.rangeSelected(range))
            ranges.select(m_ranges->index(range - 1, 0), m_ranges->index(range - 1, 0));
    m_list1->selectionModel()->select(ranges, QItemSelectionModel::ClearAndSelect);
    m_list1->selectionModel()->setCurrentIndex(m_ranges->index(0, 0), QItemSelectionModel::NoUpdate);
    m_check1->setChecked(m_choices.choice().shuffle);
    m_option1[m_choices.choice().blankOption]->setChecked(true);
    m_showing = false;
    rebuild();
    m_list1->setFocus();
}

void WorksheetScreen::rangesClicked()
{
    for (int range = 1; range <= printing::kRangeCount; ++range)
        m_choices.setRangeSelected(range,
                                   m_list1->selectionModel()->isSelected(m_ranges->index(range - 1, 0)));
    rebuild();
}

void WorksheetScreen::rebuild()
{
    const app::Status built =
        m_choices.build(m_context.services.clock.now(), m_context.services.random, m_context.services.wait);
    const bool byRanges = m_choices.rangesEnabled();
    m_list1->setEnabled(byRanges);
    m_rangeHint->setEnabled(byRanges);
    m_count->setText(m_choices.countText());
    // Drawn at the display's resolution when the screen is shown larger, so that the sheet stays sharp.
    const double ratio = std::max(1.0, app::dialogscale::displayScale(this));
    QImage thumbnail = printing::SheetPainter(m_choices.worksheet().sheet).preview(kThumbnailScale * ratio);
    thumbnail.setDevicePixelRatio(ratio);
    m_preview->setPixmap(QPixmap::fromImage(thumbnail));
    app::report(m_context.services, built);
}

void WorksheetScreen::openPrintLayout()
{
    if (m_printLayout)
        return;
    m_page->setEnabled(false);
    const printing::Worksheet &sheet = m_choices.worksheet();
    m_printLayout = new PrintLayoutScreen(m_context, sheet.sheet, &sheet.answerKey, this);
    m_printLayout->setGeometry(0, 0, 1024, 768);
    connect(m_printLayout, &PrintLayoutScreen::closed, this, &WorksheetScreen::printLayoutClosed);
    m_printLayout->show();
    m_printLayout->raise();
    m_printLayout->setFocus();
    m_printLayout->activate();
}

void WorksheetScreen::printLayoutClosed()
{
    m_page->setEnabled(true);
    m_toPrinting->setFocus();
}

void WorksheetScreen::close()
{
    hide();
    emit closed();
    deleteLater();
}

} // namespace printing
