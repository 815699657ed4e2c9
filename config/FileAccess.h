// Reading and replacing the files the user names: only regular files are
// read, and a replaced file changes only once every new byte is on disk.
#pragma once

#include <wx/string.h>

#include <string>

// Reads at most `limit` bytes from the start of a regular file. Fails with
// "Could not open file" (or that a named thing is not a regular file).
bool ReadFileHead(const wxString& fileName, size_t limit, std::string& bytes, wxString& error);

// Writes `bytes` to a new file beside `fileName` and renames it over that
// name only when all is written, so a failed save leaves the old file as
// it was. A symbolic link is followed and kept.
bool ReplaceFileAtomically(const wxString& fileName, const std::string& bytes);
