// The protocol-2 parser and decoder on arbitrary journal images. The first byte steers:
// bits 0-2 the number of pieces less one, bit 3 repairs the header and every cell check
// (so that the search reaches the record structure), bit 4 adds a descriptor entry for
// an absent variable, bit 5 sets the diagnostic switch (no gap filling). The rest is the
// image, cut into pieces of equal size whose descriptor elements come in reverse order.
// The journal library's code is linked in and bound to the parser's binding.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "dictionaries/dictionaries.h"
#include "journal/parser_ver2.h"
#include "journal/trelbo_binding.h"
#include "session/session_context.h"
#include "trelbo/journal.h"

namespace {

using namespace kalmet;

struct Program {
  SessionContext ctx;
  TDictionaries dicts;
  TTrelbo trelbo;
  std::unique_ptr<TParserVer2> parser;

  Program() {
    ctx.SetProgramFolder(KALMET_PROGRAM_DIR);
    if (!LoadDictionaries(ctx, dicts) || !trelbo.Attach(LinkedJournal())) std::abort();
    parser = std::make_unique<TParserVer2>(dicts, trelbo);
  }

  // The library's journal linked in: the shared library itself cannot be built in a
  // sanitized clang tree, so the binding gets the same code as plain functions.
  static trelbo::Journal& journal() {
    static trelbo::Journal j;
    return j;
  }
  static TTrelbo::TEntryPoints LinkedJournal() {
    TTrelbo::TEntryPoints f;
    f.Create = [](uint8_t** b, uint16_t* l, uint32_t c, int16_t* e) {
      return journal().create(b, l, c, e);
    };
    f.Open = [](TTrelbo::FilterFn filter, int16_t* e) { return journal().open(filter, e); };
    f.Close = [] { journal().close(); };
    f.ReadFirst = [](uint32_t label[2], uint16_t* code, uint8_t* buffer, uint16_t* length) {
      return journal().readFirst(label, code, buffer, length);
    };
    f.ReadNext = [](uint32_t label[2], uint16_t* code, uint8_t* buffer, uint16_t* length) {
      return journal().readNext(label, code, buffer, length);
    };
    f.Write = [](uint32_t label[2], uint32_t code, const uint8_t* data, uint32_t length,
                 int16_t* e) { return journal().write(label, code, data, length, e); };
    f.Destroy = [] { journal().destroy(); };
    return f;
  }
};

void Add(SessionContext& ctx, int32_t id, int32_t index, TData data) {
  auto r = std::make_unique<TInputData>();
  r->Id = id;
  r->ArrayIndex = index;
  r->Data = std::move(data);
  ctx.slInputData.Add(std::move(r));
}

TData Le32(uint32_t v) {
  return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Program program;
  if (size == 0) return 0;
  const uint8_t control = data[0];
  TData image(data + 1, data + size);
  if ((control & 0x08) && image.size() >= 4) {
    image[0] = 1;
    image[1] = 0;
    image[2] = 0;
    image[3] = 1;
    for (size_t at = 4; at + 16 <= image.size(); at += 16) {
      uint8_t sum = 0;
      for (size_t i = 0; i < 15; ++i) sum = uint8_t(sum + image[at + i]);
      image[at + 15] = sum;
    }
  }

  SessionContext ctx;
  ctx.iDebug = (control & 0x20) ? 1 : 0;
  const size_t pieces = (control & 0x07) + 1u;
  const size_t pieceSize = image.size() / pieces + 1;
  for (size_t k = 0, at = 0; k < pieces; ++k, at += pieceSize) {
    const int32_t variable = 16400 + int32_t(k);
    Add(ctx, 16380, int32_t(pieces - 1 - k), Le32(uint32_t(16400 + pieces - 1 - k)));
    if (at < image.size()) {
      const size_t end = std::min(image.size(), at + pieceSize);
      Add(ctx, variable, 0, TData(image.begin() + long(at), image.begin() + long(end)));
    }
  }
  if (control & 0x10) Add(ctx, 16380, int32_t(pieces), Le32(16399));
  program.parser->Parsing(ctx);

  // Touch everything the views would read.
  for (int i = 0; i < program.parser->UnpackedCount(); ++i) (void)program.parser->UnpackedRow(i);
  for (int i = 0; i < program.parser->WrapCount(); ++i) (void)program.parser->WrapRow(i);
  for (int i = 0; i < ctx.Journal.Count(); ++i) {
    const TEventData* e = ctx.Journal.GetEvent(i);
    for (int k = 0; e->ExData && k < e->ExData->Count(); ++k)
      (void)e->ExData->Object(k)->DisplayText();
  }
  return 0;
}
