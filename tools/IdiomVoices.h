#pragma once

#include "IdiomList.h"

#include <QByteArray>

// The voice files of the drill, made with a speech synthesiser: for every idiom,
// "四字熟語音声/<first three characters>1.wav" speaks its reading and "…2.wav" its meaning.
//
// espeak-ng's Japanese voice speaks kana only, so the meaning is first turned into kana with MeCab (its
// IPA dictionary gives each word's pronunciation, "は" as a particle becoming "ワ" and so on). The reading
// is hiragana already. Files are 16-bit PCM WAV as espeak-ng writes them.
namespace yojidata {

struct VoiceOptions
{
    QString appFolder;    // the application folder; the voices go into its folder "四字熟語音声"
    bool replace = false; // replace files that exist; otherwise they are kept
    QString espeak = QStringLiteral("espeak-ng");
    QString mecab = QStringLiteral("mecab");
    QString voice = QStringLiteral("ja");
    int wordsPerMinute = 140;
};

struct VoiceReport
{
    int written = 0;
    int kept = 0;
    QList<Problem> failures;
};

// The pronunciations in MeCab's output (one entry per sentence, that is per "EOS"): each word's
// pronunciation field, or the word itself when the dictionary does not know it.
QStringList pronunciationsFromMecabOutput(const QString &output);

// Runs MeCab once over the texts (none may hold a line end) and gives one pronunciation per text.
app::Result<QStringList> pronunciations(const QStringList &texts, const QString &mecab);

// Whether the bytes are a WAV file of 16-bit PCM samples with some sound in it.
bool isPcm16Wave(const QByteArray &bytes);

// Speaks the text into a WAV file, written beside the target and moved over it when complete.
app::Status speakToWave(const QString &text, const QString &wavPath, const VoiceOptions &options);

// Makes the voice files of every idiom of the list.
VoiceReport makeVoices(const IdiomList &list, const VoiceOptions &options);

} // namespace yojidata
