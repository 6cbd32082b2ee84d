// Names and replacement as the desktop's file system has them: any Unicode
// name, and on Windows the cases where another program holds the card or
// the name is longer than MAX_PATH.
#ifdef _WIN32
#include <windows.h>
#endif

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "TestImages.h"
#include "imagefiles/CardWriter.h"
#include "imagefiles/ImageFiles.h"
#include "imagefiles/ReadWholeFile.h"

namespace {

using imagefiles::CardFormat;

const std::string kSurprise = "\xC3\x9C" "berraschung caf\xC3\xA9";  // Überraschung café

std::vector<uint8_t> Pixels(uint32_t width, uint32_t height) {
  std::vector<uint8_t> rgb(size_t(width) * height * 3);
  for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = uint8_t(i * 13);
  return rgb;
}

bool Save(const std::string& path, CardFormat format = CardFormat::Png) {
  const std::vector<uint8_t> rgb = Pixels(12, 8);
  return imagefiles::WriteCard(path, format, rgb.data(), 12, 8, 36).Ok();
}

TEST(FileNames, UnicodeNamesAreWrittenReadAndDecoded) {
  testimages::TempFolder folder;
  const std::string card = folder.File(kSurprise + ".png");
  ASSERT_TRUE(Save(card));
  ASSERT_TRUE(Save(folder.File(kSurprise + " \xE2\x9C\x93.jpg"), CardFormat::Jpeg));  // ✓
  // The name on disk is the very name asked for, not a code page's guess.
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::u8path(folder.path())))
    names.push_back(entry.path().filename().u8string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{kSurprise + " \xE2\x9C\x93.jpg", kSurprise + ".png"}));

  std::vector<uint8_t> bytes;
  ASSERT_TRUE(imagefiles::ReadWholeFile(card, &bytes));
  const imagefiles::ImageFiles files;
  engine::Raster picture;
  ASSERT_TRUE(files.Decode(bytes.data(), uint32_t(bytes.size()), false, &picture));
  EXPECT_EQ(picture.width, 12u);
}

#ifdef _WIN32
HANDLE OpenLike(const std::string& path, DWORD share) {
  return CreateFileW(std::filesystem::u8path(path).c_str(), GENERIC_READ, share, nullptr,
                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

TEST(FileNames, ACardAnotherProgramHoldsIsLeftWholeAndNoTemporaryStays) {
  testimages::TempFolder folder;
  const std::string card = folder.File(kSurprise + ".png");
  const std::vector<uint8_t> old(3000, 42);
  testimages::WriteBytes(card, old);
  // A viewer that keeps the card open without letting it be replaced.
  const HANDLE viewer = OpenLike(card, FILE_SHARE_READ);
  ASSERT_NE(viewer, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(Save(card));
  CloseHandle(viewer);
  EXPECT_EQ(testimages::ReadBytes(card), old);
  EXPECT_EQ(folder.Names().size(), 1u);
  // Closed, it is replaced as usual.
  EXPECT_TRUE(Save(card));
  EXPECT_NE(testimages::ReadBytes(card), old);
  EXPECT_EQ(folder.Names().size(), 1u);
}

TEST(FileNames, AReadOnlyCardIsNotReplaced) {
  testimages::TempFolder folder;
  const std::string card = folder.File("card.png");
  const std::vector<uint8_t> old(100, 1);
  testimages::WriteBytes(card, old);
  const std::wstring wide = std::filesystem::u8path(card).wstring();
  ASSERT_TRUE(SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(Save(card));
  EXPECT_EQ(testimages::ReadBytes(card), old);
  EXPECT_EQ(folder.Names().size(), 1u);
  SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(FileNames, PathsLongerThanMaxPathWork) {
  testimages::TempFolder folder;
  std::string path = folder.path();
  std::replace(path.begin(), path.end(), '/', '\\');  // \\?\ takes no other separator
  while (path.size() < 300) {
    path += "\\" + std::string(40, 'd');
    ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + std::filesystem::u8path(path).wstring()).c_str(),
                                 nullptr) ||
                GetLastError() == ERROR_ALREADY_EXISTS);
  }
  const std::string card = path + "\\" + kSurprise + ".jpg";
  ASSERT_GT(card.size(), size_t(MAX_PATH));
  ASSERT_TRUE(Save(card, CardFormat::Jpeg));
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(imagefiles::ReadWholeFile(card, &bytes));
  EXPECT_EQ(bytes[0], 0xFF);
  EXPECT_TRUE(Save(card, CardFormat::Png)) << "and replaced there";
  ASSERT_TRUE(imagefiles::ReadWholeFile(card, &bytes));
  EXPECT_EQ(bytes[1], 'P');
  // TempFolder's clean-up cannot reach that deep on every system.
  std::error_code ignored;
  std::filesystem::remove_all(L"\\\\?\\" + std::filesystem::u8path(folder.path()).wstring(),
                              ignored);
}
#endif

}  // namespace
