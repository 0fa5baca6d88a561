#pragma once

#include <QString>

#include <array>

namespace sound {

// The sound set and the media layer's last command.
struct SoundState
{
    // soundFiles[kind][0] is the kind name, [1..20] the listed files, [21] the count as text.
    std::array<std::array<QString, 22>, 11> soundFiles{};
    QString voiceFileName;      // path without extension of the voice file the drill wants played
    qint16 soundErrorCount = 0; // consecutive failed answer sounds
    QString lastMediaCommand;
    QString lastMediaResult;
};

} // namespace sound
