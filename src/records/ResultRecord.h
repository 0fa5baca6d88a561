#pragma once

#include "records/Marks.h"

#include <QByteArray>
#include <QString>
#include <QtEndian>
#include <QtGlobal>

#include <array>
#include <bit>
#include <cstring>

// One record of the results file "成績累積データ.dat": 44 bytes, no header, little-endian numbers,
// texts in code page 932 left-aligned and padded with blanks. Other programs of the family read and
// write the same file, so the layout is exact:
//
//   offset size  field
//        0    8  date           IEEE double, whole days since 30 December 1899
//        8    8  clock          IEEE double, time of day as a fraction of a day
//       16    2  student        16-bit signed
//       18    2  level          16-bit signed
//       20    4  time           32-bit signed seconds; kTimeOut (99999) marks a time-out
//       24    5  school code    text, five blanks when there is none
//       29    5  reserved text  five blanks as this program writes it
//       34    5  mode           decimal text with a leading blank for a number that is not negative
//                               (" 0" and three blanks as this program writes it)
//       39    5  reserved       five zero bytes as this program writes it
namespace records {

inline constexpr int kRecordSize = 44;
inline constexpr int kTextFieldSize = 5;

struct ResultRecord
{
    double date = 0.0;
    double clock = 0.0;
    qint16 student = 0;
    qint16 level = 0;
    qint32 time = 0;
    QString schoolCode;   // the field as stored, blanks included (five blanks for none)
    QString reservedText; // the field as stored
    qint32 mode = 0;      // the number the mode text starts with
    // The bytes 24 to 43 as they were read. A record read and written back keeps every byte whose
    // field was not changed (the reserved bytes, and a text that another program wrote in a form this
    // program would write differently). Empty for a record made by this program.
    QByteArray storedTail;
};

// A new record as this program writes it: school code cut or padded to five bytes, reserved text five
// blanks, mode " 0", reserved bytes zero.
ResultRecord newRecord(double date, double clock, qint16 student, qint16 level, qint32 time,
                       const QString &schoolCode);

// Exactly kRecordSize bytes. decodeRecord(b) encodes back to b for every 44 bytes b.
QByteArray encodeRecord(const ResultRecord &record);
// Reads kRecordSize bytes.
ResultRecord decodeRecord(const char *bytes);

// A text cut or padded with blanks to exactly five bytes of code page 932; a two-byte character that
// would be cut in half is left out (replaced by a blank).
QByteArray fixedText(const QString &text);

// Where the number fields lie in a record (the layout above).
inline constexpr int kDateOffset = 0;
inline constexpr int kClockOffset = 8;
inline constexpr int kStudentOffset = 16;
inline constexpr int kLevelOffset = 18;
inline constexpr int kTimeOffset = 20;
inline constexpr int kModeOffset = 34;

// The number the mode text `field` (five bytes) starts with: blanks, a sign, digits.
qint32 modeNumber(const char *field);

// The number fields read straight from record bytes, for readers that scan thousands of records and
// need no texts; inline, since the results reader takes them from every record of the file.
inline double recordDate(const char *bytes)
{
    return std::bit_cast<double>(qFromLittleEndian<quint64>(bytes + kDateOffset));
}
inline double recordClock(const char *bytes)
{
    return std::bit_cast<double>(qFromLittleEndian<quint64>(bytes + kClockOffset));
}
inline qint16 recordStudent(const char *bytes)
{
    return qFromLittleEndian<qint16>(bytes + kStudentOffset);
}
inline qint16 recordLevel(const char *bytes)
{
    return qFromLittleEndian<qint16>(bytes + kLevelOffset);
}
inline qint32 recordTime(const char *bytes)
{
    return qFromLittleEndian<qint32>(bytes + kTimeOffset);
}
inline qint32 recordMode(const char *bytes)
{
    // What this program always writes, without parsing it.
    if (std::memcmp(bytes + kModeOffset, " 0   ", kTextFieldSize) == 0)
        return 0;
    return modeNumber(bytes + kModeOffset);
}

} // namespace records
