#pragma once

#include "records/ResultRecord.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace demo {

// Writes the demo school's answer history for the runs of its results file: in every test run the
// student answers each idiom of the level's range once, in the run's order, some wrong at the first
// try, a run that timed out leaving its last questions unjudged. Some idioms are harder than others
// for the whole school and each student has idioms of his or her own that go wrong more often, so that
// the personal data sheet and the worksheet screen have weak idioms to show. `weakness` gives a
// student's factor (1 the school's average, larger makes more mistakes). Only when the data folder
// has no history yet; the file appears whole or not at all.
bool writeDemoHistory(const QString &dataFolder, const QList<records::ResultRecord> &runs,
                      const std::function<double(int student)> &weakness, QStringList *written,
                      QString *error);

} // namespace demo
