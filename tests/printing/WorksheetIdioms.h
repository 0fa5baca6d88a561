#pragma once

#include "drill/IdiomData.h"
#include "printing/Worksheet.h"
#include "records/MistakeHistory.h"
#include "support/TestSupport.h"

#include <QDateTime>
#include <QStringList>

#include <initializer_list>

#include <gtest/gtest.h>

namespace testing_support {

// The idioms of the printed rows, from the answer strip ("   一石二鳥(いっせきにちょう)").
inline QStringList printedIdioms(const printing::PrintLayout &sheet)
{
    QStringList idioms;
    for (int row = 1; row <= sheet.rowCount; ++row) {
        const QString answer = sheet.table.cell(7, row).trimmed();
        idioms << answer.left(answer.indexOf(u'('));
    }
    return idioms;
}

// The idioms of the given ranges in file order, read from the data file as the program reads it.
inline QStringList idiomsOfRanges(const QString &appFolder, std::initializer_list<int> ranges)
{
    drill::IdiomData data;
    QString error;
    EXPECT_TRUE(succeeded(idioms::readIdiomData(appFolder + QStringLiteral("/四字02.CSV"), data), &error))
        << error.toStdString();
    std::array<bool, printing::kRangeCount> chosen{};
    for (int r : ranges)
        chosen[std::size_t(r - 1)] = true;
    QStringList list;
    for (const printing::WorksheetRow &row : printing::worksheetRows(data, chosen))
        list << row.idiom;
    return list;
}

// Student 132's answers before `now`: 十人十色 wrong once five days ago, 一石二鳥 three days and one day
// ago; each time the reading right, then one wrong idiom.
inline QList<records::AnsweredQuestion> weakAnswersOf132(const QDateTime &now)
{
    QList<records::AnsweredQuestion> answers;
    for (const auto &[idiom, daysAgo] : {std::pair{u"十人十色", 5}, {u"一石二鳥", 3}, {u"一石二鳥", 1}}) {
        records::AnsweredQuestion a;
        a.when = now.addDays(-daysAgo);
        a.student = 132;
        a.level = 2;
        a.idiom = QString::fromUtf16(idiom);
        a.readingFirstTry = true;
        a.wrongJudgements = 1;
        answers << a;
    }
    return answers;
}

} // namespace testing_support
