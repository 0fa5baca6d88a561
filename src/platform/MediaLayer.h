#pragma once

#include <QString>

namespace platform {

// The media layer takes a command text "play <file> wait", plays the wave file on the machine's audio
// output and returns when it has been heard: 0, or an error number whose description errorText gives.
class MediaLayer
{
public:
    virtual ~MediaLayer() = default;
    virtual int sendCommand(const QString &command) = 0;
    virtual QString errorText(int error) const = 0;
};

} // namespace platform
