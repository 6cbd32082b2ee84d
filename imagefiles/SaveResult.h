#pragma once

#include <string>
#include <system_error>
#include <type_traits>

namespace imagefiles {

// The step of a save that failed first.
enum class SaveStep {
  None,    // nothing failed
  Card,    // the pixels cannot become a file of that format (bad buffer, too large for JPEG)
  Render,  // the card cannot be rendered, for want of memory
  Target,  // the target cannot take a card: a folder, a socket, a block device, a bad path
  Create,  // the new file (or the FIFO or device) cannot be opened for writing
  Owner,   // the replaced file's permissions or owner cannot be given to the new one
  Encode,  // the encoder stopped, for want of memory
  Write,   // the bytes cannot be written
  Finish,  // syncing, naming the new file or replacing the old one failed
};

// Reasons of the program's own, where no system call failed.
enum class SaveError {
  IsFolder = 1,
  IsSocket,
  IsBlockDevice,
  NotAFile,  // any other kind of file system object
  BadCard,
  TooLargeForJpeg,
  EncoderFailed,
  ReadOnly,  // the file to replace is marked read-only
  NoReader,  // a FIFO that no program is reading, and the save may not wait
  TooLargeForPdf,
};

const std::error_category& SaveErrorCategory();
std::error_code make_error_code(SaveError error);

// What a save did, as a value the caller can put into words. `cause` holds
// the system's reason (an errno value in std::generic_category(), captured
// when the call failed, before any clean-up) or one of the SaveError reasons.
struct SaveResult {
  SaveStep step = SaveStep::None;
  std::error_code cause;
  // What the user can do about it, when the program knows more than the
  // system's reason says: "the file belongs to \"ann\", ...; save the card
  // under another name". Empty otherwise.
  std::string advice;

  static SaveResult Failed(SaveStep failedStep, std::error_code why) {
    return {failedStep, why, {}};
  }
  static SaveResult FromErrno(SaveStep failedStep, int error) {
    return {failedStep, std::error_code(error, std::generic_category()), {}};
  }

  bool Ok() const { return step == SaveStep::None; }
  explicit operator bool() const { return Ok(); }

  // The reason alone, as the system words it: "No space left on device".
  std::string Reason() const;
  // The step and the reason: "the file cannot be written: No space left on
  // device", then the advice after a semicolon. Empty on success.
  std::string Message() const;
};

}  // namespace imagefiles

namespace std {
template <>
struct is_error_code_enum<imagefiles::SaveError> : true_type {};
}  // namespace std
