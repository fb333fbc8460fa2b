#include "session/stream_session.h"

#include <array>

#include "session/delphi_text.h"
#include "session/file_log.h"
#include "session/session_error.h"

namespace kalmet {
namespace {

constexpr size_t kPieceSize = 1024;
constexpr uint32_t kPumpEvery = 8192;

uint16_t U16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | p[1] << 8);
}

uint32_t U32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

}  // namespace

bool ReadValueRecords(TByteStream& stream, TInputTable& table, TimeT2ArrayFn timeT2Array,
                      const std::function<void()>& pump) {
  try {
    for (uint32_t n = 1;; ++n) {
      if (pump && n % kPumpEvery == 0) pump();
      uint8_t number[2];
      if (stream.Read(number, 2) < 2) return true;
      const uint16_t id = U16(number);
      if (id == 0) continue;  // a 2-byte filler
      // Array index, quality, time stamp, data length.
      uint8_t head[8];
      stream.ReadBuffer(head, sizeof head);
      auto record = std::make_unique<TInputData>();
      record->Id = id;
      record->ArrayIndex = head[0];
      record->Quality = head[1];
      std::array<uint8_t, 6> clock{};
      timeT2Array(U32(head + 2), clock.data(), 5);
      record->Time = HexDateTime(clock, 5);
      const uint16_t length = U16(head + 6);
      // The data is allocated only once it is known to be there.
      if (length > stream.Remaining()) throw TStreamReadError();
      record->Data.resize(length);
      for (size_t done = 0; done < length; done += kPieceSize) {
        const size_t piece = length - done < kPieceSize ? length - done : kPieceSize;
        stream.ReadBuffer(record->Data.data() + done, piece);
      }
      table.Add(std::move(record));
    }
  } catch (const std::exception& e) {
    WriteLog(std::string("[xmlLoad] Exception: ") + e.what());
    return false;
  }
}

bool ReadValueStream(SessionContext& ctx, TByteStream& stream) {
  ctx.slInputData.ClearValues();
  std::unique_ptr<TChronelBinding> chronel;
  try {
    chronel = TChronelBinding::Bind(ctx);
  } catch (const TFatalError&) {
    throw;
  } catch (const std::exception& e) {
    WriteLog(std::string("Exception: ") + e.what());
    return false;
  }
  return ReadValueRecords(stream, ctx.slInputData, chronel->TimeT2Array(),
                          ctx.Host.ProcessMessages);
}

std::string StreamSessionTitle(const SessionContext& ctx) {
  return "Kalmet. Просмотр файлов сеансов.  " + ctx.sSessionTime +
         " Месторождение: " + ctx.sFieldName + ",  Куст: " + ctx.sClusterName +
         ",  Скважина: " + ctx.sWellName;
}

bool LoadStreamSession(SessionContext& ctx, TByteStream& stream) {
  ctx.ListEventsClear();
  ctx.ClearJrn();
  ReadValueStream(ctx, stream);
  const TInputTable& table = ctx.slInputData;
  ctx.sFieldName.clear();
  ctx.sClusterName = ConvertToStr(table.GetValueData(63));
  ctx.sWellName = ConvertToStr(table.GetValueData(62));
  ctx.sSessionTime = DateTimeToStr(table.GetValueTime(9401));
  ctx.iVersionMajor = table.GetValueWord(10315);
  ctx.iVersionMinor = table.GetValueWord(10316);
  ctx.sSoftwareVersion =
      Format("%d.%d.%d", ctx.iVersionMajor, ctx.iVersionMinor, table.GetValueWord(10317));
  if (ctx.Hooks.SelectSetupVersion) ctx.Hooks.SelectSetupVersion(ctx);
  ChooseAndRunParser(ctx);
  ctx.sTitle = StreamSessionTitle(ctx);
  ctx.Host.Title(ctx.sTitle);
  return true;
}

}  // namespace kalmet
