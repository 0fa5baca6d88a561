#pragma once

#include "app/Failure.h"
#include "app/Services.h"
#include "sound/SoundState.h"

#include <QString>

// Playing the sounds of the sound set, the two fixed sounds and the drill's spoken idioms. Every sound
// goes to the media layer as "play <file> wait" and the call returns when the sound has been heard, so
// nothing else of the program runs meanwhile and sounds never overlap.
namespace sound {

inline constexpr int kFailuresBeforeGivingUp = 3;
inline constexpr int kSoundFailureExitStatus = 3;

// Sends one media command and keeps it and its result in the sound state; returns the result.
int sendMediaCommand(SoundState &sound, platform::MediaLayer &media, const QString &command);

// Plays one file of a kind (2, 4, 8 or 10), picked at random among the files the sound set lists for
// it. A kind whose count is missing plays nothing. For the answer sounds (2 and 4) the failures in a row
// are counted together: the fourth returns "音声エラー", which tells the student to call the teacher
// and ends the program when reported.
app::Status playKindSound(SoundState &sound, const QString &soundFolder, Services &services, int kind);

// "最高1.wav" (a new all-time record) or "合格.wav" (the final level cleared), from the sound folder.
void playFixedSound(SoundState &sound, const QString &soundFolder, Services &services,
                    const QString &fileName);

// The spoken text whose path without extension the drill has put into sound.voiceFileName.
void playVoice(SoundState &sound, Services &services);

} // namespace sound
