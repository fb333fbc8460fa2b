// Version-2 sessions built in the test: journal images written with the journal codec,
// cut into pieces named by a descriptor, stored in an XML session file; the shipped
// dictionaries and the program folder's journal library.
#pragma once

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "dictionaries/dictionaries.h"
#include "journal/parser_ver2.h"
#include "journal/trelbo_binding.h"
#include "session/cp1251.h"
#include "session/session_context.h"
#include "session/tests/log_recorder.h"
#include "session/tests/temp_dir.h"
#include "session/xml_session.h"
#include "trelbo/image_builder.h"

namespace kalmet::testing {

using Bytes = std::vector<uint8_t>;

// Seconds since 1970 of a controller clock reading (no zone shift).
inline uint32_t Seconds(int year, int month, int day, int hour, int minute, int second) {
  const double days = EncodeDate(year, month, day) + EncodeTime(hour, minute, second, 0) - 25569.0;
  return static_cast<uint32_t>(days * 86400.0 + 0.5);
}
inline const uint32_t kT0 = Seconds(2010, 3, 15, 12, 30, 0);

// A graph value: the float, then the validity byte.
inline Bytes GraphValue(float v, uint8_t valid = 1) {
  const uint32_t bits = std::bit_cast<uint32_t>(v);
  return {uint8_t(bits), uint8_t(bits >> 8), uint8_t(bits >> 16), uint8_t(bits >> 24), valid};
}

inline Bytes Le(uint64_t v, int n) {
  Bytes out;
  for (int i = 0; i < n; ++i) out.push_back(uint8_t(v >> (8 * i)));
  return out;
}

inline Bytes Float(float v) {
  return Le(std::bit_cast<uint32_t>(v), 4);
}

inline Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

struct RecordSpec {
  uint32_t low;
  uint32_t high;
  uint16_t code;
  Bytes data;
};

// A journal image of imageSize bytes holding the records in the given order.
inline Bytes Image(const std::vector<RecordSpec>& records, size_t imageSize = 4096) {
  trelbo::ImageBuilder builder(imageSize);
  for (const RecordSpec& r : records) builder.append({r.low, r.high}, r.code, r.data);
  return builder.bytes();
}

// One <Value> element; the data as blank-separated hexadecimal bytes.
inline std::string Value(int id, const Bytes& data, int index = 0) {
  static const char* digits = "0123456789ABCDEF";
  std::string text;
  text.reserve(data.size() * 3);
  for (uint8_t b : data) {
    if (!text.empty()) text += ' ';
    text += digits[b >> 4];
    text += digits[b & 15];
  }
  return "<Value VariableId=\"" + std::to_string(id) + "\" VariableValueArrayIndex=\"" +
         std::to_string(index) +
         "\" VariableValueQuality=\"0\" VariableValueTime=\"0 0 0 0 0 0\">" + text + "</Value>\r\n";
}

// A protocol-2 session file (software 3.5.1, variable 16370 = 2) with the given values.
inline std::string V2Session(const std::string& values) {
  return Utf8ToCp1251(
      "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n"
      "<SessionReadedData CSCSoftwareVersion=\"3.5.1\" SessionTime=\"2010.03.15 12:30:00\">\r\n" +
      Value(16370, {2, 0}) + values + "</SessionReadedData>\r\n");
}

// The image cut into pieces of pieceSize bytes held by variables 16400, 16401, ...; the
// descriptor elements come in the file in reverse order, so that joining follows the
// array index and not the file.
inline std::string Pieces(const Bytes& image, size_t pieceSize, int firstVariable = 16400) {
  std::string pieces, descriptor;
  int k = 0;
  for (size_t at = 0; at < image.size(); at += pieceSize, ++k) {
    const Bytes piece(image.begin() + at, image.begin() + std::min(image.size(), at + pieceSize));
    pieces += Value(firstVariable + k, piece);
    descriptor = Value(16380, Le(firstVariable + k, 4), k) + descriptor;
  }
  return descriptor + pieces;
}

// A session context with the shipped dictionaries, the program folder's journal library
// and the version-2 parser on the reader's hook.
class JournalV2Test : public ::testing::Test {
 protected:
  void SetUp() override {
    ctx.SetProgramFolder(KALMET_PROGRAM_DIR);
    ASSERT_TRUE(LoadDictionaries(ctx, dicts));
    AttachDictionaries(ctx, dicts);
    std::string error;
    ASSERT_TRUE(trelbo.Load(ctx.sAppPath + TTrelbo::kFileName, error)) << error;
    parser = std::make_unique<TParserVer2>(dicts, trelbo);
    ctx.Hooks.ParserVer2 = [this](SessionContext& c) { parser->Parsing(c); };
  }

  bool Load(const std::string& values) {
    return LoadXmlSession(ctx, dir.Write("s.xml", V2Session(values)));
  }

  // The keys of a keyed list or of the collection.
  template <typename List>
  static std::vector<std::string> Keys(const List& list) {
    std::vector<std::string> keys;
    for (int i = 0; i < list.Count(); ++i) keys.push_back(list.Key(i));
    return keys;
  }
  std::vector<std::string> JournalKeys() const {
    std::vector<std::string> keys;
    for (int i = 0; i < ctx.Journal.Count(); ++i) keys.push_back(ctx.Journal.GetKey(i));
    return keys;
  }

  SessionContext ctx;
  TDictionaries dicts;
  TTrelbo trelbo;
  std::unique_ptr<TParserVer2> parser;
  TempDir dir;
};

}  // namespace kalmet::testing
