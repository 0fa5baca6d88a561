#include "printing/forms/WorksheetScreen.h"

#include "app/Failure.h"
#include "app/forms/Controls.h"
#include "app/forms/DialogScale.h"
#include "app/forms/Style.h"
#include "drill/IdiomData.h"
#include "printing/forms/PrintLayoutScreen.h"
#include "printing/forms/SheetPainter.h"
#include "records/MistakeHistory.h"
#include "roster/NameList.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFrame>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QTimer>

#include <algorithm>

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

WorksheetScreen::WorksheetScreen(AppContext &context, bool signedIn, QWidget *parent)
    : QWidget(parent), m_context(context), m_signedIn(signedIn)
{
    setObjectName(QStringLiteral("FormPrint0"));
    resize(1024, 768);
    style::background(this, QColor::fromRgb(m_context.state.settings.seasonColour));

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
    connect(m_source, &QComboBox::activated, this, [this] {
        if (!m_loading)
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
    m_list1->setStyleSheet(style::sheet(QStringLiteral("QListView { border: none; color: @ink; }"
                                                       "QListView::item { background: @plain; "
                                                       "border: 1px solid @line; border-radius: 8px; }"
                                                       "QListView::item:selected { background: @accentTint; "
                                                       "color: @ink; border: 3px solid @accent; }")));
    connect(m_list1->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!m_loading)
            rebuild();
    });

    m_check1 = new QCheckBox(QStringLiteral("順序を変える"), choices);
    m_check1->setObjectName(QStringLiteral("Check1"));
    m_check1->setFont(style::font(15));
    m_check1->setGeometry(24, 262, 372, 36);
    m_check1->setChecked(true);
    connect(m_check1, &QCheckBox::clicked, this, [this] { rebuild(); });

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
    connect(m_options, &QButtonGroup::idClicked, this, [this] { rebuild(); });

    m_count = app::controls::label(choices, QStringLiteral("lblCount"), QString(), style::font(13),
                                   QRect(24, 500, 372, 28));
    style::ink(m_count);

    m_rebuild = app::controls::button(choices, QStringLiteral("Command3"), QStringLiteral("再並べ替え"),
                                      style::font(16), QRect(24, 540, 372, 48));
    style::plainButton(m_rebuild);
    connect(m_rebuild, &QPushButton::clicked, this, [this] { rebuild(); });
    m_toPrinting = app::controls::button(choices, QStringLiteral("Command1"), QStringLiteral("印刷へ"),
                                         style::font(22, true), QRect(24, 600, 180, 96));
    style::accentButton(m_toPrinting, 12);
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
    const QSize thumbnail = printing::previewSize(m_worksheet.sheet, kThumbnailScale);
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
    m_loading = true;
    const CurrentRun &run = m_context.state.run;
    std::optional<int> signedIn;
    if (m_signedIn)
        signedIn = run.studentNumber;
    m_sources = printing::worksheetSources(m_context.state.roster, signedIn,
                                           roster::namelist::isTeacherName(run.studentName));
    m_source->clear();
    for (const printing::WorksheetSource &source : m_sources)
        m_source->addItem(source.caption);
    m_source->setCurrentIndex(0);
    m_source->setEnabled(m_sources.size() > 1);
    m_list1->selectionModel()->clearSelection();
    m_list1->selectionModel()->select(m_ranges->index(0, 0), QItemSelectionModel::Select);
    m_list1->selectionModel()->setCurrentIndex(m_ranges->index(0, 0), QItemSelectionModel::NoUpdate);
    m_loading = false;
    rebuild();
    m_list1->setFocus();
}

printing::WorksheetChoice WorksheetScreen::choice() const
{
    printing::WorksheetChoice choice;
    for (int range = 0; range < printing::kRangeCount; ++range)
        choice.ranges[std::size_t(range)] = m_list1->selectionModel()->isSelected(m_ranges->index(range, 0));
    choice.shuffle = m_check1->isChecked();
    choice.blankOption = std::max(int(printing::PrintEverything), m_options->checkedId());
    return choice;
}

printing::WorksheetSource WorksheetScreen::source() const
{
    const int index = m_source->currentIndex();
    return index >= 0 && index < m_sources.size() ? m_sources[index] : printing::WorksheetSource{};
}

app::Result<QList<printing::WorksheetRow>> WorksheetScreen::weakRows(const printing::WorksheetSource &source)
{
    // No history yet: nobody has taken a test since the program began to keep it.
    const QString dataFolder = m_context.state.settings.dataFolder;
    if (!QFileInfo::exists(records::mistakeHistoryPath(dataFolder)))
        return QList<printing::WorksheetRow>();
    const app::Result<records::MistakeHistory> history =
        records::readMistakeHistoryIn(dataFolder, m_context.services.wait);
    if (!history)
        return app::warning(QStringLiteral("四字熟語プリント"), history.failure().text);
    return printing::rowsOfIdioms(m_context.state.idioms,
                                  printing::weakIdiomsOf(history.value(), m_context.state.roster, source,
                                                         m_context.services.clock.now()));
}

void WorksheetScreen::rebuild()
{
    // The idiom data is read afresh for every sheet, as the drill reads it for every drill.
    const QString path = m_context.state.settings.appFolder + QString::fromUtf16(idioms::kNominalFileName);
    QString note;
    QList<printing::WorksheetRow> rows;
    const printing::WorksheetSource from = source();
    const bool byRanges = from.kind == printing::WorksheetSource::Kind::Ranges;
    m_list1->setEnabled(byRanges);
    m_rangeHint->setEnabled(byRanges);
    const app::Status read = idioms::readIdiomData(path, m_context.state.idioms);
    if (!read && byRanges) {
        rows = printing::worksheetRows(m_context.state.idioms, choice().ranges);
    } else if (!read) {
        const app::Result<QList<printing::WorksheetRow>> weak = weakRows(from);
        if (!weak)
            app::report(m_context.services, weak.failure());
        else if (weak.value().isEmpty())
            note = QStringLiteral("（まだ間違えた熟語がありません）");
        else
            rows = weak.value();
    }
    m_worksheet = printing::buildWorksheet(rows, choice(), m_context.services.random);
    printing::titleWorksheet(m_worksheet, from);
    m_count->setText(QStringLiteral("選んだ熟語：%1 語").arg(m_worksheet.sheet.selectedIdiomCount) + note);
    // Drawn at the display's resolution when the screen is shown larger, so that the sheet stays sharp.
    const double ratio = std::max(1.0, app::dialogscale::displayScale(this));
    QImage thumbnail = printing::SheetPainter(m_worksheet.sheet).preview(kThumbnailScale * ratio);
    thumbnail.setDevicePixelRatio(ratio);
    m_preview->setPixmap(QPixmap::fromImage(thumbnail));
    app::report(m_context.services, app::titled(read, QStringLiteral("四字熟語プリント")));
}

void WorksheetScreen::openPrintLayout()
{
    if (m_printLayout)
        return;
    m_page->setEnabled(false);
    m_printLayout = new PrintLayoutScreen(m_context, m_worksheet.sheet, &m_worksheet.answerKey, this);
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
