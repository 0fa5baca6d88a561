#pragma once

#include <QImage>

#include <algorithm>
#include <cstdlib>

// The largest difference of a colour channel between two pictures of the same size: pictures drawn in
// two ways are the same but for the rounding of a blend when it is at most 2.
inline int largestDifference(const QImage &a, const QImage &b)
{
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                std::abs(qBlue(p) - qBlue(q))});
        }
    }
    return largest;
}
