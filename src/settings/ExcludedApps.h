#pragma once

#include "platform/RunningApplications.h"

#include <QStringList>

#include <vector>

namespace corvane {

class ApplicationCatalog;

// The running programs "Add Running App" offers: those with ordinary windows and a desktop-file
// id, other than this program (`ownPID`) and those already excluded, sorted by name (case counts,
// capitals first; equal names keep the order they came in). One entry per process.
std::vector<RunningApplication> addableApplications(const std::vector<RunningApplication>& running,
                                                    const QStringList& excluded, int32_t ownPID);

// The name an excluded program is listed by: its entry's name without any ".app", or the id
// itself when no installed program has it.
QString excludedAppName(ApplicationCatalog& catalog, const QString& bundleID);

// The list without every copy of `bundleID`, the others in order.
QStringList withoutApp(QStringList excluded, const QString& bundleID);

} // namespace corvane
