#pragma once

#include "app/Failure.h"
#include "drill/IdiomData.h"
#include "platform/RandomSource.h"
#include "platform/RetryWait.h"
#include "printing/WeakWorksheet.h"
#include "printing/Worksheet.h"
#include "roster/Roster.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <array>

// The worksheet screen's choices and the sheet they make: where the idioms come from (the ranges, or a
// student's or a grade group's weak idioms), the chosen ranges, the order and the number of blanks. Every
// change of a choice builds the sheet anew from the idiom data file, read afresh each time; the screen
// shows the sheet in small and what the model says is chosen and enabled.
namespace printing {

// Where the idioms of a sheet are read from.
struct WorksheetFiles
{
    QString appFolder;  // the idiom data file's folder, with a final separator
    QString dataFolder; // the answer history's folder
};

class WorksheetChoices
{
public:
    // `idioms` is the shared idiom table, which every build reads again from the file.
    WorksheetChoices(drill::IdiomData &idioms, const roster::Roster &roster, WorksheetFiles files);

    // As the screen loads: the sources offered (the ranges first) with the first chosen, range 1 alone,
    // the order changed, everything printed. Builds nothing.
    void load(const QList<WorksheetSource> &sources);

    const QList<WorksheetSource> &sources() const { return m_sources; }
    int sourceIndex() const { return m_sourceIndex; }
    WorksheetSource source() const;
    // A source outside the list is not taken.
    void chooseSource(int index);
    // The source box is only worth opening with more than one source.
    bool sourceChoosable() const { return m_sources.size() > 1; }
    // The ranges are only chosen from for a range sheet.
    bool rangesEnabled() const;

    // Ranges 1 to 10.
    bool rangeSelected(int range) const;
    void setRangeSelected(int range, bool selected);
    void setShuffle(bool shuffle) { m_choice.shuffle = shuffle; }
    // One of the BlankOption values; anything else counts as "すべて印刷".
    void setBlankOption(int option);
    const WorksheetChoice &choice() const { return m_choice; }

    // Reads the idiom data (and for a weak-idiom source the answer history at `now`) and builds the sheet
    // with new random order and blanks. A file that cannot be read leaves a sheet without rows, and its
    // failure (naming the file) is returned for the screen to show.
    app::Status build(const QDateTime &now, platform::RandomSource &random, platform::RetryWait &wait);

    const Worksheet &worksheet() const { return m_worksheet; }
    // "選んだ熟語：20 語", with a note when a weak-idiom source has none yet.
    QString countText() const;

private:
    app::Result<QList<WorksheetRow>> weakRows(const WorksheetSource &source, const QDateTime &now,
                                              platform::RetryWait &wait) const;

    drill::IdiomData &m_idioms;
    const roster::Roster &m_roster;
    WorksheetFiles m_files;
    QList<WorksheetSource> m_sources;
    int m_sourceIndex = 0;
    WorksheetChoice m_choice;
    Worksheet m_worksheet;
    bool m_noWeakIdiomsYet = false;
};

} // namespace printing
