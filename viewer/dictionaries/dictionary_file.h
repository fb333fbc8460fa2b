// What every dictionary loader shares: opening a Windows-1251 XML file with the checks
// and reports of start-up, reading attributes with the platform's conversion errors,
// list texts, colour names and event codes.
#pragma once

#include <cstdint>
#include <optional>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "session/host.h"

namespace kalmet {

inline constexpr std::string_view kCannotGoOn = "Продлжение работы невозможно!";
inline constexpr std::string_view kErrorCaption = "Ошибка!";

enum class TOpenStatus {
  kOk,
  // Missing file, unparsable file or wrong root: logged and reported to the user.
  kRejected,
  // The root element cannot be reached: logged as an exception only.
  kUnreachable,
};

// Loads a dictionary file and finds its root, the document's second top-level node
// (the declaration is the first), which must be named PultexConsole in any letter case.
// Failures write their log line under prefix and show the message box; fatal adds the
// line "Продлжение работы невозможно!" to the box's text.
TOpenStatus OpenDictionaryFile(const std::string& path, std::string_view prefix, const THost& host,
                               bool fatal, pugi::xml_document& doc, pugi::xml_node& root);

// Shows a start-up failure: M, then CR and "Продлжение работы невозможно!" when fatal.
void ReportStartupFailure(const THost& host, const std::string& message, bool fatal);

// The file name without its folder.
std::string FileNameOf(const std::string& path);

// The node's name as the DOM gives it ("#text" for text, "#comment" for comments, ...).
std::string DomName(pugi::xml_node node);
// The node's XML text, as written back by the serializer.
std::string NodeXml(pugi::xml_node node);
// The XML text of the element's first child node; empty when it has none.
std::string FirstChildXml(pugi::xml_node node);

// Attribute access. Text attributes read as empty when missing. Integer attributes
// throw ConvertError when missing or not a number (decimal, or hexadecimal after "$",
// "0x" or "x").
bool HasAttr(pugi::xml_node node, const char* name);
std::string TextAttr(pugi::xml_node node, const char* name);
int32_t IntAttr(pugi::xml_node node, const char* name);
// Reads an integer text with the same errors.
int32_t ToInt(std::string_view text);
// An event code: every "0x" replaced by "$" before reading.
int32_t CodeAttr(pugi::xml_node node, const char* name);
int32_t CodeToInt(std::string_view text);

// Replaces every occurrence of from by to.
std::string ReplaceAll(std::string text, std::string_view from, std::string_view to);

// Splits a list text into items: blank-separated or comma-separated, items with blanks
// in double quotes (a doubled quote stands for one), a trailing comma adds an empty item.
std::vector<std::string> SplitListText(std::string_view text);

// A colour given by its name without the "cl" prefix (any letter case); none when the
// platform has no colour of that name. Values are 0x00BBGGRR.
std::optional<uint32_t> ColorFromName(std::string_view name);
inline constexpr uint32_t kDefaultEventColor = 0xFF0000;  // Blue

}  // namespace kalmet
