#pragma once

#include "app/Failure.h"
#include "app/PathsAndSettings.h"
#include "sound/SoundState.h"

#include <QString>

// The sound set "新音ファイル.txt" in the sound folder, edited by the teacher: groups of a kind name, up
// to twenty file names (without ".wav", relative to the sound folder) and an item "*" that closes the
// group. Items outside a group that are not kind names are passed over.
namespace sound {

inline constexpr const char16_t *kSoundSetFileName = u"新音ファイル.txt";
inline constexpr int kKindCount = 10;
inline constexpr int kMaxFilesPerKind = 20;
inline constexpr int kCountSlot = 21;
inline constexpr qint64 kMaxSoundSetBytes = 1024 * 1024;

// The kinds this program plays (the others are read and kept for the rest of the family).
enum Kind {
    RightAnswer = 2,    // "正解音2"
    WrongAnswer = 4,    // "間違い音2"
    PersonalRecord = 8, // "自己最高音2"
    WithinMinimum = 10, // "不合格音1"
};

// soundFiles[kind][0] the kind name, [1..20] the files, [21] the number of files as text (empty when
// the group was never closed by "*").
using SoundTable = decltype(SoundState::soundFiles);

// The name of kind 1 to 10 ("正解音1" … "不合格音1"); empty otherwise.
QString kindName(int kind);

QString soundSetPath(const QString &soundFolder);

// Reads the groups of a sound set text into a table that starts with the kind names only. A group of up
// to twenty names closed by "*" gives its kind the names and their count. A group with more than twenty
// names keeps twenty and no count, and the items after them are read as kind names again; a group cut
// off by the end of the text keeps its names and no count.
SoundTable parseSoundSet(const QString &text);

// Reads soundFolder + "新音ファイル.txt" into sound.soundFiles. On failure (missing, not a file,
// unreadable, not code page 932, far too large) the failure's text names the file, and the table stays
// as it was.
app::Status loadSoundSet(app::PathsAndSettings &settings, SoundState &sound);

} // namespace sound
