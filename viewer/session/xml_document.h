// Loading the program's XML files, which are written in Windows-1251.
#pragma once

#include <pugixml.hpp>
#include <string>
#include <string_view>

namespace kalmet {

// The declaration line every session file starts with.
inline constexpr std::string_view kSessionXmlDeclaration =
    "<?xml version=\"1.0\" encoding=\"windows-1251\"?>";

enum class XmlDeclarationRule {
  // Session files: when the first line is not exactly kSessionXmlDeclaration, that
  // declaration is inserted before it (so a file declaring anything else fails to parse).
  kInsertSessionDeclaration,
  // Dictionaries: the encoding named by the file's own declaration is used
  // (Windows-1251 or UTF-8; no declaration means UTF-8).
  kHonourDeclaration,
};

// Reads and parses a file. On failure returns false with a readable reason in error.
bool LoadXmlFile(const std::string& path, XmlDeclarationRule rule, pugi::xml_document& doc,
                 std::string& error);
// The same on bytes already in memory.
bool ParseXmlBytes(std::string_view bytes, XmlDeclarationRule rule, pugi::xml_document& doc,
                   std::string& error);

// Reads a whole file; false with a reason when it cannot be read.
bool ReadFileBytes(const std::string& path, std::string& bytes, std::string& error);

}  // namespace kalmet
