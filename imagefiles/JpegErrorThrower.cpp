#include "imagefiles/JpegErrorThrower.h"

#include <cstring>

namespace imagefiles {

namespace {

[[noreturn]] void JumpOut(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<JpegErrorThrower*>(cinfo->err)->jump, 1);
}

void EmitNothing(j_common_ptr, int) {}
void OutputNothing(j_common_ptr) {}
void FormatNothing(j_common_ptr, char* buffer) { buffer[0] = '\0'; }
void ResetNothing(j_common_ptr) {}

}  // namespace

jpeg_error_mgr* JpegErrorThrower::Init() {
  std::memset(&mgr, 0, sizeof mgr);
  mgr.error_exit = JumpOut;
  mgr.emit_message = EmitNothing;
  mgr.output_message = OutputNothing;
  mgr.format_message = FormatNothing;
  mgr.reset_error_mgr = ResetNothing;
  mgr.trace_level = 0;
  mgr.num_warnings = 0;
  mgr.msg_code = 0;
  mgr.jpeg_message_table = nullptr;
  mgr.last_jpeg_message = -1;
  mgr.addon_message_table = nullptr;
  mgr.first_addon_message = 0;
  mgr.last_addon_message = 0;
  return &mgr;
}

void JpegErrorThrower::Fail(j_common_ptr cinfo) {
  cinfo->err->error_exit(cinfo);
  // error_exit is ours and never returns; this keeps [[noreturn]] honest.
  JumpOut(cinfo);
}

}  // namespace imagefiles
