#pragma once

namespace drill {

// What the drill form keeps of its own running state between its steps; cleared before every drill.
struct DrillRunState
{
    qint32 timeLimit = 0;      // 5 × the level's minimum time
    double timeBarScale = 0.0; // width of the time bar per second
};

} // namespace drill
