// A whole configuration as readable JSON: named values in the words of the
// window and the report, and every bit no name covers in a remainder, so
// that importing an export gives back the same bytes.
#pragma once

#include <wx/string.h>

#include <string>

class ConfigData;

// Version of the JSON form this program writes and reads ("formatVersion").
constexpr int kJsonFormatVersion = 1;

// The configuration as a JSON document, indented, ending in a newline.
std::string ExportJson(const ConfigData& config);

// Reads a JSON document into `out` (main block, IP block and notes; marks
// it modified). Everything is checked first: on failure `out` is untouched
// and `error` names the place and what is allowed there.
bool ImportJson(const std::string& text, ConfigData& out, wxString& error);

// ImportJson of a file's text.
bool ImportJsonFile(const wxString& path, ConfigData& out, wxString& error);

// The JSON Schema of the form, indented, ending in a newline.
std::string JsonSchemaText();

// True when the bytes look like a JSON document: "{" after white space.
bool LooksLikeJson(const std::string& bytes);

// Loads a configuration file (".qst", formats 1 and 2) or a JSON export,
// told apart by content. A JSON file leaves `out` bound to no file.
bool LoadAnyConfiguration(const wxString& path, ConfigData& out, wxString& error);
