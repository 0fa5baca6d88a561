#pragma once

#include "app/Failure.h"
#include "drill/Question.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <vector>

namespace drill {

// The idiom data as read from the data file: cell (row, column), rows 1 to 1000, columns 1 to 100.
struct IdiomData
{
    std::vector<QStringList> idiomTable; // idiomTable[row][column]; row 0 and column 0 stay empty
    int idiomRowCount = 0;
    int idiomColumnCount = 0; // the number of fields of the last line read

    // The text of a cell; empty for a cell the file did not fill (rows hold only their own fields).
    QString cell(int row, int column) const
    {
        if (row < 0 || std::size_t(row) >= idiomTable.size() || column < 0 ||
            column >= idiomTable[std::size_t(row)].size())
            return {};
        return idiomTable[std::size_t(row)][column];
    }
};

} // namespace drill

// The idiom data file: every question of the drill and every worksheet row comes from it.
//
// Callers name the file by its nominal path (the application folder + "四字02.CSV"); what is opened is
// the stored file beside it, whose name has "vv.ccc" in place of the extension ("四字02vv.ccc"). The
// stored file is code page 932 text of at most 1000 lines. Each line is a plain line scrambled with the
// swap pairs of IdiomKeys.h and is at least 99 characters long. A plain line is
//     fields separated by ","   +   "／ｅｎｄ／"   +   filler
// where the fields are range number, idiom, reading, meaning and any further columns (at most 100
// fields, no quoting) and the filler makes the line long enough; whatever follows the first end marker
// is ignored. The data tool (tools/) writes these files.
namespace drill::idioms {

inline constexpr const char16_t *kNominalFileName = u"四字02.CSV";
inline constexpr const char16_t *kStoredSuffix = u"vv.ccc";
inline constexpr const char16_t *kEndMarker = u"／ｅｎｄ／";
inline constexpr const char16_t *kVoiceFolderName = u"四字熟語音声";
inline constexpr int kMaxLines = 1000;
inline constexpr int kMaxFields = 100;

// The stored file's path for a nominal path: the file name's extension replaced by "vv.ccc".
QString storedFilePath(const QString &nominalPath);

// One stored line restored. `problem` is empty for a good line; otherwise it says what is wrong
// (Japanese, without the file or the line number) and `fields` is empty.
struct RestoredLine
{
    QStringList fields; // fields[0] is field 1 (the range number)
    QString problem;
};

// The rules of the stored format, shared by the reader and the data tool's check.
RestoredLine restoreStoredLine(QString storedLine);
QStringList splitFields(QStringView data);
QString lineLengthProblem(qsizetype length); // empty when the line is long enough
QString fieldCountProblem(qsizetype count);  // empty when there are at most 100 fields
QString lineCountProblem(qsizetype count);   // empty when there are at most 1000 lines
QString endMarkerProblem();

// The number of empty lines at the end of a stored file's lines. An editor or a copy often leaves one;
// they hold no idioms and are ignored (lines of blanks, and the end-of-file mark Ctrl-Z of old editors,
// count as empty). An empty line before the last idiom is a line too short.
qsizetype trailingEmptyLines(const QStringList &lines);

// The message the program shows for a problem on one line of a file.
QString lineMessage(const QString &path, int line, const QString &problem);

// Reads the stored file of the nominal path into idiomTable, idiomRowCount and idiomColumnCount.
// A missing or unreadable file, bytes that are not code page 932, more than 1000 lines, a line shorter
// than 99 characters, without the end marker or with more than 100 fields make it fail with a message
// that names the stored file with its full path, the line and the problem; `data` is then left as it
// was. Empty lines at the end of the file are ignored.
app::Status readIdiomData(const QString &nominalPath, IdiomData &data);

// The range number that a column 1 text stands for, as a whole number; 0 when it is none.
int rangeOfField(const QString &field);

// The reading and the meaning of an idiom (columns 3 and 4 of its row).
struct IdiomTexts
{
    QString reading;
    QString meaning;
};

// Every idiom of the data (column 2) with its texts; an idiom that stands twice keeps its first row's.
QHash<QString, IdiomTexts> textsByIdiom(const IdiomData &data);

// The questions of a level: the rows whose column 1 is the level's range number (catalogue::rangeNumber),
// in file order.
QuestionList questionsForLevel(const IdiomData &data, int level);

// The voice file of an idiom without its extension: which 1 speaks the reading, which 2 the meaning.
// appFolder ends with the separator.
QString voiceFilePath(const QString &appFolder, const QString &idiom, int which);

} // namespace drill::idioms

// The other folders name the idiom data by its short name.
namespace idioms = drill::idioms;
