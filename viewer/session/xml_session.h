// The ".xml" session file: reading it into the variable value table and the globals.
#pragma once

#include <pugixml.hpp>
#include <string>
#include <string_view>

#include "session/conversions.h"
#include "session/session_context.h"

namespace kalmet {

// Loads the whole session: table, globals, version, setup choice, parsers, title.
bool LoadXmlSession(SessionContext& ctx, const std::string& fileName);
// The same on the file's bytes already in memory.
bool LoadXmlSessionBytes(SessionContext& ctx, std::string_view bytes);

// Fills the table from the children of the document element; false when an element
// stopped the walk (the values read so far stay).
bool xmlLoad(SessionContext& ctx, const pugi::xml_node& root);

// Sets sSoftwareVersion, iVersionMajor and iVersionMinor from CSCSoftwareVersion.
void GetVersion(SessionContext& ctx, const pugi::xml_node& root);

// Decodes a VariableValueTime text: six BCD numbers h m s D M Y; 0 when there is no time.
TDateTime HexDateTime(std::string_view text);

// Reformats a SessionTime attribute into the locale's date and time followed by ".";
// returns the text unchanged when it has an unexpected form.
std::string ReformatSessionTime(const std::string& text);

// Decodes a value text of blank-separated hexadecimal numbers into bytes.
TData DecodeValueText(std::string_view text);

}  // namespace kalmet
