#include "session/session_file.h"

#include <filesystem>

#include "session/binary_session.h"
#include "session/delphi_text.h"
#include "session/xml_session.h"

namespace kalmet {

TSessionKind KindOfFile(const std::string& fileName) {
  const std::string ext = std::filesystem::path(fileName).extension().string();
  if (SameText(ext, ".xml")) return TSessionKind::kXml;
  if (SameText(ext, ".Z4K")) return TSessionKind::kZ4K;
  if (SameText(ext, ".Z5K")) return TSessionKind::kZ5K;
  return TSessionKind::kUnknown;
}

const char* KindName(TSessionKind kind) {
  switch (kind) {
    case TSessionKind::kXml:
      return "xml";
    case TSessionKind::kZ4K:
      return "z4k";
    case TSessionKind::kZ5K:
      return "z5k";
    case TSessionKind::kUnknown:
      break;
  }
  return "unknown";
}

bool ReadSessionFile(SessionContext& ctx, const std::string& fileName, int* slices) {
  if (slices) *slices = 0;
  switch (KindOfFile(fileName)) {
    case TSessionKind::kXml: {
      const bool ok = LoadXmlSession(ctx, fileName);
      ctx.bZ5K = false;
      return ok;
    }
    case TSessionKind::kZ4K:
      return LoadZ4KSession(ctx, fileName);
    case TSessionKind::kZ5K:
      return LoadZ5KSession(ctx, fileName, slices);
    case TSessionKind::kUnknown:
      break;
  }
  return false;
}

}  // namespace kalmet
