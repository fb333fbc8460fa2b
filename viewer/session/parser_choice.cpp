#include "session/session_context.h"

namespace kalmet {

void ChooseAndRunParser(SessionContext& ctx) {
  ctx.iProtocol = ctx.slInputData.GetValueWord(16370);
  ctx.Host.Status("Загрузка журнала КСУ");
  if (ctx.iVersionMajor == 0) {
    ctx.iProtocol = 0;
    if (ctx.Hooks.ParserVer0) ctx.Hooks.ParserVer0(ctx);
    return;
  }
  if (ctx.iProtocol == 2) {
    if (ctx.Hooks.ParserVer2) ctx.Hooks.ParserVer2(ctx);
  } else {
    ctx.iProtocol = 1;
  }
  if (ctx.Hooks.ParserVer1) ctx.Hooks.ParserVer1(ctx);
}

}  // namespace kalmet
