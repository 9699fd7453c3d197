#pragma once

class QByteArray;
class QString;

// Replaces the whole content of file with text: written to a temporary file
// beside it, every write and the flush to the disk checked, then renamed over
// the old one. On any failure the old file is left as it was, the temporary
// file is removed, and false is returned.
bool WriteWholeFile(const QString& file, const QByteArray& text);

// True when a file can be written (and is removed again) in folder dir.
bool FolderWritable(const QString& dir);
