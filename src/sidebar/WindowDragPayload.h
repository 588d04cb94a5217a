#pragma once

#include <QMimeData>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace corvane {

// A window dragged out of the strip travels as plain text: its decimal window number.
namespace WindowDragPayload {

QString text(uint32_t windowID);
std::unique_ptr<QMimeData> mimeData(uint32_t windowID);

// An unsigned 32-bit decimal number: an optional sign, then digits only, no overflow ("-0" is 0).
std::optional<uint32_t> parse(const QString& text);
// The texts a drop carries: one per line of its plain text.
QStringList texts(const QMimeData& data);
// The window numbers among `texts`, in order; texts that are not numbers are skipped.
std::vector<uint32_t> windowIDs(const QStringList& texts);

} // namespace WindowDragPayload

} // namespace corvane
