#include "imagefiles/SaveResult.h"

namespace imagefiles {

namespace {

class SaveErrorCategoryImpl : public std::error_category {
 public:
  const char* name() const noexcept override { return "tessary-save"; }
  std::string message(int value) const override {
    switch (SaveError(value)) {
      case SaveError::IsFolder:
        return "it is a folder";
      case SaveError::IsSocket:
        return "it is a socket, not a file";
      case SaveError::IsBlockDevice:
        return "it is a block device, which a card is never written to";
      case SaveError::NotAFile:
        return "it is not a file";
      case SaveError::BadCard:
        return "the card's size or pixels are not valid";
      case SaveError::TooLargeForJpeg:
        return "JPEG files are at most 65500 pixels wide and high";
      case SaveError::EncoderFailed:
        return "the encoder failed";
      case SaveError::ReadOnly:
        return "it is read-only; save the card under another name, or make the file writable "
               "first";
      case SaveError::TooLargeForPdf:
        return "a card in a PDF is at most 32767 pixels wide and high";
      case SaveError::NoReader:
        return "it is a FIFO and no program is reading it; start the program that reads it "
               "first";
    }
    return "unknown reason";
  }
};

const char* StepText(SaveStep step) {
  switch (step) {
    case SaveStep::None:
      return "";
    case SaveStep::Card:
      return "the card cannot be encoded";
    case SaveStep::Render:
      return "the card cannot be rendered";
    case SaveStep::Target:
      return "the card cannot be saved there";
    case SaveStep::Create:
      return "the file cannot be created";
    case SaveStep::Owner:
      return "the replaced file's permissions or owner cannot be kept";
    case SaveStep::Encode:
      return "the card cannot be encoded";
    case SaveStep::Write:
      return "the file cannot be written";
    case SaveStep::Finish:
      return "the finished file cannot be put in place";
  }
  return "the card cannot be saved";
}

}  // namespace

const std::error_category& SaveErrorCategory() {
  static const SaveErrorCategoryImpl category;
  return category;
}

std::error_code make_error_code(SaveError error) {
  return std::error_code(int(error), SaveErrorCategory());
}

std::string SaveResult::Reason() const {
  if (Ok()) return std::string();
  return cause ? cause.message() : std::string("unknown reason");
}

std::string SaveResult::Message() const {
  if (Ok()) return std::string();
  std::string message = std::string(StepText(step)) + ": " + Reason();
  if (!advice.empty()) message += "; " + advice;
  return message;
}

}  // namespace imagefiles
