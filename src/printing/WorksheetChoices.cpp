#include "printing/WorksheetChoices.h"

#include "drill/IdiomData.h"
#include "records/MistakeHistory.h"

#include <QFileInfo>

namespace printing {

WorksheetChoices::WorksheetChoices(drill::IdiomData &idioms, const roster::Roster &roster,
                                   WorksheetFiles files)
    : m_idioms(idioms), m_roster(roster), m_files(std::move(files))
{
}

void WorksheetChoices::load(const QList<WorksheetSource> &sources)
{
    m_sources = sources;
    m_sourceIndex = 0;
    m_choice = WorksheetChoice{};
    m_choice.ranges[0] = true;
    m_noWeakIdiomsYet = false;
}

WorksheetSource WorksheetChoices::source() const
{
    return m_sourceIndex >= 0 && m_sourceIndex < m_sources.size() ? m_sources[m_sourceIndex]
                                                                  : WorksheetSource{};
}

void WorksheetChoices::chooseSource(int index)
{
    if (index >= 0 && index < m_sources.size())
        m_sourceIndex = index;
}

bool WorksheetChoices::rangesEnabled() const
{
    return source().kind == WorksheetSource::Kind::Ranges;
}

bool WorksheetChoices::rangeSelected(int range) const
{
    return range >= 1 && range <= kRangeCount && m_choice.ranges[std::size_t(range - 1)];
}

void WorksheetChoices::setRangeSelected(int range, bool selected)
{
    if (range >= 1 && range <= kRangeCount)
        m_choice.ranges[std::size_t(range - 1)] = selected;
}

void WorksheetChoices::setBlankOption(int option)
{
    m_choice.blankOption = option >= PrintEverything && option <= FourBlanks ? option : PrintEverything;
}

app::Result<QList<WorksheetRow>> WorksheetChoices::weakRows(const WorksheetSource &source,
                                                            const QDateTime &now,
                                                            platform::RetryWait &wait) const
{
    // No history yet: nobody has taken a test since the program began to keep it.
    if (!QFileInfo::exists(records::mistakeHistoryPath(m_files.dataFolder)))
        return QList<WorksheetRow>();
    const app::Result<records::MistakeHistory> history =
        records::readMistakeHistoryIn(m_files.dataFolder, wait);
    if (!history)
        return app::warning(QStringLiteral("四字熟語プリント"), history.failure().text);
    return rowsOfIdioms(m_idioms, weakIdiomsOf(history.value(), m_roster, source, now));
}

app::Status WorksheetChoices::build(const QDateTime &now, platform::RandomSource &random,
                                    platform::RetryWait &wait)
{
    // The idiom data is read afresh for every sheet, as the drill reads it for every drill.
    const QString path = m_files.appFolder + QString::fromUtf16(idioms::kNominalFileName);
    const WorksheetSource from = source();
    m_noWeakIdiomsYet = false;
    app::Status failed =
        app::titled(idioms::readIdiomData(path, m_idioms), QStringLiteral("四字熟語プリント"));
    QList<WorksheetRow> rows;
    if (!failed && rangesEnabled()) {
        rows = worksheetRows(m_idioms, m_choice.ranges);
    } else if (!failed) {
        app::Result<QList<WorksheetRow>> weak = weakRows(from, now, wait);
        if (!weak)
            failed = weak.failure();
        else if (weak.value().isEmpty())
            m_noWeakIdiomsYet = true;
        else
            rows = std::move(weak.value());
    }
    m_worksheet = buildWorksheet(rows, m_choice, random);
    titleWorksheet(m_worksheet, from);
    return failed;
}

QString WorksheetChoices::countText() const
{
    QString text = QStringLiteral("選んだ熟語：%1 語").arg(m_worksheet.sheet.selectedIdiomCount);
    if (m_noWeakIdiomsYet)
        text += QStringLiteral("（まだ間違えた熟語がありません）");
    return text;
}

} // namespace printing
