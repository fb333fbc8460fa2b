#include "session/xml_document.h"

#include <cstring>
#include <fstream>

#include "session/cp1251.h"
#include "session/delphi_text.h"

namespace kalmet {
namespace {

std::string_view FirstLine(std::string_view bytes) {
  const size_t end = bytes.find_first_of("\r\n");
  return end == std::string_view::npos ? bytes : bytes.substr(0, end);
}

// The encoding named in a leading XML declaration, lower-cased; empty when none.
std::string DeclaredEncoding(std::string_view bytes) {
  if (bytes.substr(0, 5) != "<?xml") return {};
  const size_t end = bytes.find("?>");
  if (end == std::string_view::npos) return {};
  const std::string_view decl = bytes.substr(0, end);
  const size_t at = decl.find("encoding");
  if (at == std::string_view::npos) return {};
  const size_t q = decl.find_first_of("\"'", at);
  if (q == std::string_view::npos) return {};
  const size_t q2 = decl.find(decl[q], q + 1);
  if (q2 == std::string_view::npos) return {};
  return LowerAscii(decl.substr(q + 1, q2 - q - 1));
}

bool IsCp1251Name(const std::string& encoding) {
  return encoding == "windows-1251" || encoding == "cp1251" || encoding == "cp-1251";
}

}  // namespace

bool ReadFileBytes(const std::string& path, std::string& bytes, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "Cannot open file \"" + path + "\". " + std::strerror(errno);
    return false;
  }
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size < 0) {
    error = "Cannot read file \"" + path + "\".";
    return false;
  }
  in.seekg(0, std::ios::beg);
  bytes.resize(static_cast<size_t>(size));
  if (size > 0 && !in.read(bytes.data(), size)) {
    error = "Cannot read file \"" + path + "\".";
    return false;
  }
  return true;
}

bool ParseXmlBytes(std::string_view bytes, XmlDeclarationRule rule, pugi::xml_document& doc,
                   std::string& error) {
  std::string_view prefix;
  bool cp1251 = true;
  if (rule == XmlDeclarationRule::kInsertSessionDeclaration) {
    if (FirstLine(bytes) != kSessionXmlDeclaration) prefix = "<?xml version=\"1.0\"?>\r\n";
  } else {
    std::string_view body = bytes;
    if (body.substr(0, 3) == "\xEF\xBB\xBF") body = body.substr(3);
    cp1251 = IsCp1251Name(DeclaredEncoding(body));
    if (!cp1251) bytes = body;
  }

  // The buffer handed to the parser: an optional prefix, then the text as UTF-8.
  // Pure ASCII needs no decoding, which keeps large session files cheap.
  std::string decoded;
  std::string_view text = bytes;
  if (cp1251 && !IsAscii(bytes)) {
    decoded = Cp1251ToUtf8(bytes);
    text = decoded;
  }
  const size_t size = prefix.size() + text.size();
  void* buffer = pugi::get_memory_allocation_function()(size == 0 ? 1 : size);
  if (!buffer) {
    error = "Out of memory";
    return false;
  }
  if (!prefix.empty()) std::memcpy(buffer, prefix.data(), prefix.size());
  if (!text.empty())
    std::memcpy(static_cast<char*>(buffer) + prefix.size(), text.data(), text.size());

  // A declaration anywhere but at the very start (as after an inserted one) is an error.
  const unsigned options = pugi::parse_default | pugi::parse_declaration;
  const pugi::xml_parse_result result =
      doc.load_buffer_inplace_own(buffer, size, options, pugi::encoding_utf8);
  if (!result) {
    error = Format("%s at offset %lld", result.description(),
                   static_cast<long long>(result.offset) - static_cast<long long>(prefix.size()));
    return false;
  }
  int declarations = 0;
  for (pugi::xml_node n = doc.first_child(); n; n = n.next_sibling()) {
    if (n.type() == pugi::node_declaration) ++declarations;
  }
  if (declarations > 1) {
    error = "XML declaration allowed only at the start of the document";
    return false;
  }
  if (!doc.document_element()) {
    error = "No document element";
    return false;
  }
  return true;
}

bool LoadXmlFile(const std::string& path, XmlDeclarationRule rule, pugi::xml_document& doc,
                 std::string& error) {
  std::string bytes;
  if (!ReadFileBytes(path, bytes, error)) return false;
  return ParseXmlBytes(bytes, rule, doc, error);
}

}  // namespace kalmet
