#pragma once

#include "drill/IdiomData.h"
#include "platform/RandomSource.h"
#include "printing/PrintLayout.h"

#include <QList>
#include <QString>

#include <array>

// The idiom worksheet: a numbered table of idioms with each meaning, the idiom's four characters with a
// chosen number of them left blank, and at the right edge a strip of answers (idiom and reading) to cut
// off. It is built from the rows of the chosen ranges of the idiom data file into the print layout values
// that the print layout screen draws.
namespace printing {

inline constexpr int kRangeCount = 10; // the range list holds "1" to "10"

// The blank-count options, as the option buttons number them.
enum BlankOption {
    PrintEverything = 1, // "すべて印刷": no blank, 15 rows
    OneBlank = 2,        // "問題１カ所"
    TwoBlanks = 3,       // "問題２カ所"
    ThreeBlanks = 4,     // "問題３カ所"
    FourBlanks = 5,      // "問題４カ所"
};

struct WorksheetChoice
{
    std::array<bool, kRangeCount> ranges{}; // ranges[0] is range 1
    bool shuffle = true;                    // "順序を変える"
    int blankOption = PrintEverything;
};

// One idiom of the working list.
struct WorksheetRow
{
    QString idiom;
    QString meaning;
    QString reading;
};

// The idioms of the chosen ranges in file order. A row whose range is not 1 to 10 belongs to no range.
QList<WorksheetRow> worksheetRows(const drill::IdiomData &data, const std::array<bool, kRangeCount> &ranges);

struct Worksheet
{
    PrintLayout sheet;     // the worksheet as it is printed
    PrintLayout answerKey; // the same rows in the same order with nothing blanked, for marking
};

// Builds the worksheet from the working list. The shuffle (2 × m exchanges of two rows drawn at random)
// and the blanks draw from `random`: each build gives a new order and new blanks.
Worksheet buildWorksheet(const QList<WorksheetRow> &rows, const WorksheetChoice &choice,
                         platform::RandomSource &random);

// The circled number of a row: "①" for 1 to "⑳" for 20; empty outside.
QString circledNumber(int row);

// The header texts.
inline constexpr const char16_t *kMeaningHeader = u"意味";
inline constexpr const char16_t *kIdiomHeader = u"四字熟語";
inline constexpr const char16_t *kAnswersHeader = u"答（切り取って使いましょう）";
inline constexpr const char16_t *kAnswerKeyTitle = u"解答（答え合わせ用）";

} // namespace printing
