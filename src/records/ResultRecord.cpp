#include "records/ResultRecord.h"

#include "platform/TextFile.h"

#include <QStringDecoder>
#include <QtEndian>

#include <bit>
#include <cstring>

namespace records {

namespace {

constexpr int kDateOffset = 0;
constexpr int kClockOffset = 8;
constexpr int kStudentOffset = 16;
constexpr int kLevelOffset = 18;
constexpr int kTimeOffset = 20;
constexpr int kSchoolCodeOffset = 24;
constexpr int kReservedTextOffset = 29;
constexpr int kModeOffset = 34;
constexpr int kReservedOffset = 39;
constexpr int kTailOffset = kSchoolCodeOffset;
constexpr int kTailSize = kRecordSize - kTailOffset;

template <typename T> T readLittle(const char *bytes, int offset)
{
    return qFromLittleEndian<T>(bytes + offset);
}

double readDouble(const char *bytes, int offset)
{
    return std::bit_cast<double>(readLittle<quint64>(bytes, offset));
}

template <typename T> void writeLittle(char *bytes, int offset, T value)
{
    qToLittleEndian<T>(value, bytes + offset);
}

void writeDouble(char *bytes, int offset, double value)
{
    writeLittle<quint64>(bytes, offset, std::bit_cast<quint64>(value));
}

QString decodeField(const char *bytes)
{
    // Stateless, so that a broken byte gives a replacement character and never swallows the next field.
    QStringDecoder decoder(platform::kCodePage932, QStringDecoder::Flag::Stateless);
    return decoder.decode(QByteArrayView(bytes, kTextFieldSize));
}

// The mode text as the original's number-to-text conversion writes it: a leading blank for a number
// that is not negative.
QByteArray modeText(qint32 mode)
{
    QByteArray text = QByteArray::number(mode);
    if (mode >= 0)
        text.prepend(' ');
    if (text.size() > kTextFieldSize)
        text.truncate(kTextFieldSize);
    return text.leftJustified(kTextFieldSize, ' ');
}

qint32 modeNumber(const char *field)
{
    if (std::memcmp(field, " 0   ", kTextFieldSize) == 0) // what this program always writes
        return 0;
    // The number the text starts with: blanks, a sign, digits (all within five bytes, so no overflow).
    int i = 0;
    while (i < kTextFieldSize && (field[i] == ' ' || field[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < kTextFieldSize && (field[i] == '-' || field[i] == '+')) {
        negative = field[i] == '-';
        ++i;
    }
    qint32 value = 0;
    while (i < kTextFieldSize && field[i] >= '0' && field[i] <= '9') {
        value = value * 10 + (field[i] - '0');
        ++i;
    }
    return negative ? -value : value;
}

} // namespace

QByteArray fixedText(const QString &text)
{
    QByteArray bytes;
    for (qsizetype i = 0; i < text.size(); ++i) {
        // One character at a time, so that a two-byte character never gets cut in half at the end.
        const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        bool ok = false;
        QByteArray one = platform::encode932(text.mid(i, length), &ok);
        if (!ok || one.isEmpty())
            one = "?";
        if (bytes.size() + one.size() > kTextFieldSize)
            break;
        bytes += one;
        i += length - 1;
    }
    return bytes.leftJustified(kTextFieldSize, ' ');
}

ResultRecord newRecord(double date, double clock, qint16 student, qint16 level, qint32 time,
                       const QString &schoolCode)
{
    ResultRecord record;
    record.date = date;
    record.clock = clock;
    record.student = student;
    record.level = level;
    record.time = time;
    const QByteArray code = fixedText(schoolCode);
    record.schoolCode = decodeField(code.constData());
    record.reservedText = QString(kTextFieldSize, u' ');
    record.mode = 0;
    return record;
}

QByteArray encodeRecord(const ResultRecord &record)
{
    QByteArray bytes(kRecordSize, '\0');
    char *b = bytes.data();
    writeDouble(b, kDateOffset, record.date);
    writeDouble(b, kClockOffset, record.clock);
    writeLittle<qint16>(b, kStudentOffset, record.student);
    writeLittle<qint16>(b, kLevelOffset, record.level);
    writeLittle<qint32>(b, kTimeOffset, record.time);

    const bool stored = record.storedTail.size() == kTailSize;
    auto storedField = [&](int offset) { return record.storedTail.constData() + (offset - kTailOffset); };
    auto putText = [&](int offset, const QString &text) {
        // Keep the stored bytes while they still say the same text: another program may have written
        // a form that this program would encode differently.
        if (stored && decodeField(storedField(offset)) == text)
            std::memcpy(b + offset, storedField(offset), kTextFieldSize);
        else
            std::memcpy(b + offset, fixedText(text).constData(), kTextFieldSize);
    };
    putText(kSchoolCodeOffset, record.schoolCode);
    putText(kReservedTextOffset, record.reservedText);
    if (stored && modeNumber(storedField(kModeOffset)) == record.mode)
        std::memcpy(b + kModeOffset, storedField(kModeOffset), kTextFieldSize);
    else
        std::memcpy(b + kModeOffset, modeText(record.mode).constData(), kTextFieldSize);
    if (stored)
        std::memcpy(b + kReservedOffset, storedField(kReservedOffset), kTextFieldSize);
    return bytes;
}

ResultRecord decodeRecord(const char *bytes)
{
    ResultRecord record;
    record.date = recordDate(bytes);
    record.clock = recordClock(bytes);
    record.student = recordStudent(bytes);
    record.level = recordLevel(bytes);
    record.time = recordTime(bytes);
    record.schoolCode = decodeField(bytes + kSchoolCodeOffset);
    record.reservedText = decodeField(bytes + kReservedTextOffset);
    record.mode = recordMode(bytes);
    record.storedTail = QByteArray(bytes + kTailOffset, kTailSize);
    return record;
}

double recordDate(const char *bytes)
{
    return readDouble(bytes, kDateOffset);
}

double recordClock(const char *bytes)
{
    return readDouble(bytes, kClockOffset);
}

qint16 recordStudent(const char *bytes)
{
    return readLittle<qint16>(bytes, kStudentOffset);
}

qint16 recordLevel(const char *bytes)
{
    return readLittle<qint16>(bytes, kLevelOffset);
}

qint32 recordTime(const char *bytes)
{
    return readLittle<qint32>(bytes, kTimeOffset);
}

qint32 recordMode(const char *bytes)
{
    return modeNumber(bytes + kModeOffset);
}

} // namespace records
