#pragma once

#include "clipboard/ClipItem.h"

#include <QStringList>

#include <optional>

namespace corvane {

struct PasteboardContent;

// The longest text the history keeps, in UTF-8 bytes: room for a long log or a whole source file,
// but every save writes the whole index and the history is held in memory, so one copy of hundreds
// of megabytes would make each later save re-encode and sync all of it. A longer copy stays on the
// clipboard but is not recorded.
constexpr qsizetype largestRecordedText = qsizetype(8) << 20;

// The types a read of new content fetches, from those offered: none when a marker says the copy
// is not to be recorded; else the password-manager hint, the file list, a picture (only without
// plain text beside it) and the plain text, each when offered.
QStringList typesToRead(const QStringList& offered);

// The entry a read content makes: files first, then a picture, then text (a link when it is one
// web address); none when it is marked as a password, holds nothing usable or a text longer than
// `largestRecordedText`. Id, date and source
// are left to the caller.
std::optional<ClipItem> itemFromContent(const PasteboardContent& content);

// Whether making the entry decodes a picture (tens of milliseconds for a screen's worth): the
// content's entry is a picture unless it carries text or local files.
bool entryDecodesPicture(const PasteboardContent& content);

} // namespace corvane
