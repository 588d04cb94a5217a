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

// The largest picture the history keeps: by the bytes it comes in, above a PNG of a photograph
// that fills an 8K screen (about 80 MB; screenshots of windows and text take a few MB), and by
// its pixels, 32 million, enough for an 8K screen (7680 x 4320) or three 4K screens side by side.
// Decoded, that is 128 MiB at four bytes a pixel; a larger copy, or one claiming more pixels,
// stays on the clipboard but is not recorded.
constexpr qsizetype largestRecordedPictureBytes = qsizetype(96) << 20;
constexpr qint64 largestRecordedPicturePixels = qint64(1) << 25;

// The longest file list the history keeps, in files and in bytes: more than a whole photo library
// selected at once, with room for long, escaped paths. Each entry is saved whole with every save
// and searched at every opening; a longer list is not recorded at all, since a list cut short
// would paste other files than were copied.
constexpr qsizetype largestRecordedFileCount = 10000;
constexpr qsizetype largestRecordedFileListBytes = qsizetype(8) << 20;

// The types a read of new content fetches, from those offered: none when a marker says the copy
// is not to be recorded; else the password-manager hint, the file list, a picture (only without
// plain text beside it) and the plain text, each when offered.
QStringList typesToRead(const QStringList& offered);

// The entry a read content makes: files first, then a picture, then text (a link when it is one
// web address); none when it is marked as a password (or offers the password-manager marker and
// its bytes were not had), holds nothing usable, or a file list, a
// picture or a text larger than the bounds above. Id, date and source are left to the caller.
// Any thread.
std::optional<ClipItem> itemFromContent(const PasteboardContent& content);

// Whether making the entry parses a file list or decodes a picture (tens of milliseconds for a
// screen's worth, more for a long list), found from the types alone.
bool entryNeedsWork(const PasteboardContent& content);
// Whether the entry may be a picture.
bool entryMayBePicture(const PasteboardContent& content);

} // namespace corvane
