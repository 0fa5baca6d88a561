#pragma once

#include "platform/Failure.h"

#include <QByteArray>
#include <QString>

namespace platform {

// Saves a PDF document drawn in memory as the file `path`, through the verified whole-file writer, so
// that a disk that fills part way leaves the old file as it was. `drawn` is false when drawing the
// document failed; then nothing is written. A failure's text names the file and what went wrong, and
// says when the old file is still there.
Status savePdfFile(const QString &path, const QByteArray &pdf, bool drawn);

} // namespace platform
