// Each third-party library the program builds on, linked and doing a small
// real job: the same checks pass against Debian's shared libraries on Linux
// and against the static cross-built ones under Wine, which is where a
// missing system library, a lost codec or a wrong link order shows.

#include <cairo-ft.h>
#include <cairo-pdf.h>
#include <cairo.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <gtest/gtest.h>
#include <hb-ft.h>
#include <hb.h>
#include <libheif/heif.h>
#include <tiffio.h>
#include <webp/decode.h>
#include <webp/encode.h>
#include <zip.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <nlohmann/json.hpp>
#include <regex>
#include <string>
#include <vector>

namespace {

// An RGB(A) sweep: red across, green down, blue along the diagonal, alpha
// falling with x * y, so a swapped channel, a flipped or shifted row shows.
std::vector<uint8_t> Sweep(int width, int height, int channels) {
  std::vector<uint8_t> pixels;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      pixels.push_back(static_cast<uint8_t>(x * 255 / (width - 1)));
      pixels.push_back(static_cast<uint8_t>(y * 255 / (height - 1)));
      pixels.push_back(static_cast<uint8_t>((x + y) * 8));
      if (channels == 4) pixels.push_back(static_cast<uint8_t>(255 - x * y));
    }
  }
  return pixels;
}

int MaxDifference(const std::vector<uint8_t>& a, const uint8_t* b, size_t size) {
  int most = 0;
  for (size_t i = 0; i < size; ++i) most = std::max(most, std::abs(a[i] - b[i]));
  return most;
}

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct FreeTypeFace {
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  FreeTypeFace() {
    if (FT_Init_FreeType(&library) == 0) FT_New_Face(library, TESSARY_TEST_FONT, 0, &face);
  }
  ~FreeTypeFace() {
    if (face) FT_Done_Face(face);
    if (library) FT_Done_FreeType(library);
  }
};

cairo_status_t AppendBytes(void* closure, const unsigned char* data, unsigned int length) {
  auto* out = static_cast<std::string*>(closure);
  out->append(reinterpret_cast<const char*>(data), length);
  return CAIRO_STATUS_SUCCESS;
}

size_t Count(const std::string& text, const std::regex& pattern) {
  return static_cast<size_t>(std::distance(
      std::sregex_iterator(text.begin(), text.end(), pattern), std::sregex_iterator()));
}

TEST(ThirdPartyTest, CairoWritesAOnePagePdfWithAPictureAndAnEmbeddedFont) {
  FreeTypeFace ft;
  ASSERT_NE(ft.face, nullptr) << TESSARY_TEST_FONT;
  std::string pdf;
  cairo_surface_t* surface = cairo_pdf_surface_create_for_stream(AppendBytes, &pdf, 432, 288);
  cairo_t* cr = cairo_create(surface);

  const int w = 60, h = 40;
  cairo_surface_t* picture = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
  const std::vector<uint8_t> sweep = Sweep(w, h, 3);
  unsigned char* row = cairo_image_surface_get_data(picture);
  for (int y = 0; y < h; ++y, row += cairo_image_surface_get_stride(picture)) {
    auto* px = reinterpret_cast<uint32_t*>(row);
    for (int x = 0; x < w; ++x) {
      const uint8_t* s = &sweep[(y * w + x) * 3];
      px[x] = uint32_t(s[0]) << 16 | uint32_t(s[1]) << 8 | s[2];
    }
  }
  cairo_surface_mark_dirty(picture);
  cairo_set_source_surface(cr, picture, 36, 36);
  cairo_paint(cr);
  cairo_set_source_rgb(cr, 0.1, 0.1, 0.4);

  // Fonts come in through FreeType, as the program's own shipped fonts will.
  cairo_font_face_t* font = cairo_ft_font_face_create_for_ft_face(ft.face, 0);
  cairo_set_font_face(cr, font);
  cairo_set_font_size(cr, 24);
  cairo_move_to(cr, 36, 140);
  cairo_show_text(cr, "Hello, Привет");
  cairo_move_to(cr, 36, 200);
  cairo_line_to(cr, 396, 200);
  cairo_stroke(cr);
  EXPECT_EQ(cairo_status(cr), CAIRO_STATUS_SUCCESS) << cairo_status_to_string(cairo_status(cr));
  cairo_destroy(cr);
  cairo_surface_finish(surface);
  EXPECT_EQ(cairo_surface_status(surface), CAIRO_STATUS_SUCCESS);
  cairo_surface_destroy(surface);
  cairo_surface_destroy(picture);
  cairo_font_face_destroy(font);

  EXPECT_EQ(pdf.rfind("%PDF-1.", 0), 0u);
  EXPECT_NE(pdf.find("%%EOF", pdf.size() - 8), std::string::npos);
  EXPECT_EQ(Count(pdf, std::regex("/Type /Page[^s]")), 1u);
  EXPECT_EQ(Count(pdf, std::regex(R"(/MediaBox \[ ?0 0 432 288 ?\])")), 1u);
  EXPECT_EQ(Count(pdf, std::regex("/Subtype /Image")), 1u);
  EXPECT_GE(Count(pdf, std::regex("/BaseFont /[A-Z]{6}\\+DejaVuSans")), 1u);
  EXPECT_GE(Count(pdf, std::regex("/FontFile[23]?")), 1u);
}

struct ShapeCase {
  const char* name;
  std::u32string text;
  hb_script_t script;
  hb_direction_t direction;
  bool joined;  // every glyph a contextual form, none the plain one
};

TEST(ThirdPartyTest, HarfBuzzShapesCyrillicAndArabicThroughFreeType) {
  FreeTypeFace ft;
  ASSERT_NE(ft.face, nullptr) << TESSARY_TEST_FONT;
  ASSERT_EQ(FT_Set_Pixel_Sizes(ft.face, 0, 48), 0);
  hb_font_t* font = hb_ft_font_create_referenced(ft.face);
  const ShapeCase cases[] = {
      {"Cyrillic", U"Привет", HB_SCRIPT_CYRILLIC, HB_DIRECTION_LTR, false},
      {"Arabic", U"مرحبا", HB_SCRIPT_ARABIC, HB_DIRECTION_RTL, true},
  };
  for (const ShapeCase& c : cases) {
    SCOPED_TRACE(c.name);
    hb_buffer_t* buffer = hb_buffer_create();
    hb_buffer_add_utf32(buffer, reinterpret_cast<const uint32_t*>(c.text.data()),
                        static_cast<int>(c.text.size()), 0, -1);
    hb_buffer_guess_segment_properties(buffer);
    EXPECT_EQ(hb_buffer_get_script(buffer), c.script);
    EXPECT_EQ(hb_buffer_get_direction(buffer), c.direction);
    hb_shape(font, buffer, nullptr, 0);

    unsigned count = 0;
    const hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buffer, &count);
    const hb_glyph_position_t* pos = hb_buffer_get_glyph_positions(buffer, &count);
    ASSERT_EQ(count, c.text.size());
    hb_position_t advance = 0;
    for (unsigned i = 0; i < count; ++i) {
      // Visual order: clusters rise left to right, fall right to left.
      const unsigned logical = c.direction == HB_DIRECTION_RTL ? count - 1 - i : i;
      EXPECT_EQ(info[i].cluster, logical);
      const FT_UInt plain = FT_Get_Char_Index(ft.face, c.text[info[i].cluster]);
      EXPECT_NE(info[i].codepoint, 0u) << "glyph " << i << " is missing from the font";
      if (c.joined) {
        EXPECT_NE(info[i].codepoint, plain) << "glyph " << i << " is not in a joined form";
      } else {
        EXPECT_EQ(info[i].codepoint, plain) << "glyph " << i;
      }
      advance += pos[i].x_advance;
    }
    EXPECT_GT(advance, 48 * 64 * 2) << "the line is narrower than two em";

    // FreeType draws the shaped glyphs.
    int inked = 0;
    for (unsigned i = 0; i < count; ++i) {
      ASSERT_EQ(FT_Load_Glyph(ft.face, info[i].codepoint, FT_LOAD_RENDER), 0);
      const FT_Bitmap& bitmap = ft.face->glyph->bitmap;
      for (unsigned y = 0; y < bitmap.rows; ++y) {
        for (unsigned x = 0; x < bitmap.width; ++x) {
          inked += bitmap.buffer[y * bitmap.pitch + x] > 127;
        }
      }
    }
    EXPECT_GT(inked, static_cast<int>(count) * 40);
    hb_buffer_destroy(buffer);
  }
  hb_font_destroy(font);
}

struct ZipEntry {
  std::string name;
  std::string data;
  int32_t method;
};

TEST(ThirdPartyTest, LibzipRoundTripsEntriesInMemory) {
  std::string repetitive;
  for (int i = 0; i < 1000; ++i) repetitive += "{\"region\": 1, \"pan\": 0.5}\n";
  std::string binary;
  for (int i = 0; i < 3000; ++i) binary.push_back(static_cast<char>(i * 7919 >> 3));
  const std::vector<ZipEntry> entries = {
      {"project.json", repetitive, ZIP_CM_DEFLATE},
      {"photos/Grüße café.jpg", binary, ZIP_CM_STORE},
  };

  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* memory = zip_source_buffer_create(nullptr, 0, 0, &error);
  ASSERT_NE(memory, nullptr);
  zip_source_keep(memory);  // it holds the archive once the zip is closed
  zip_t* out = zip_open_from_source(memory, ZIP_TRUNCATE, &error);
  ASSERT_NE(out, nullptr) << zip_error_strerror(&error);
  for (const ZipEntry& e : entries) {
    zip_source_t* data = zip_source_buffer(out, e.data.data(), e.data.size(), 0);
    const zip_int64_t index = zip_file_add(out, e.name.c_str(), data, ZIP_FL_ENC_UTF_8);
    ASSERT_GE(index, 0) << zip_strerror(out);
    ASSERT_EQ(zip_set_file_compression(out, static_cast<zip_uint64_t>(index), e.method, 0), 0);
  }
  ASSERT_EQ(zip_close(out), 0);

  std::string archive;
  ASSERT_EQ(zip_source_open(memory), 0);
  char chunk[4096];
  for (zip_int64_t n; (n = zip_source_read(memory, chunk, sizeof chunk)) > 0;) {
    archive.append(chunk, static_cast<size_t>(n));
  }
  zip_source_close(memory);
  zip_source_free(memory);
  EXPECT_EQ(archive.rfind("PK\x03\x04", 0), 0u);
  EXPECT_LT(archive.size(), repetitive.size() / 4 + binary.size()) << "nothing was deflated";

  zip_source_t* source = zip_source_buffer_create(archive.data(), archive.size(), 0, &error);
  zip_t* in = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error);
  ASSERT_NE(in, nullptr) << zip_error_strerror(&error);
  EXPECT_EQ(zip_get_num_entries(in, 0), static_cast<zip_int64_t>(entries.size()));
  for (const ZipEntry& e : entries) {
    SCOPED_TRACE(e.name);
    zip_stat_t stat;
    ASSERT_EQ(zip_stat(in, e.name.c_str(), ZIP_FL_ENC_UTF_8, &stat), 0);
    EXPECT_EQ(stat.comp_method, static_cast<uint16_t>(e.method));
    zip_file_t* file = zip_fopen(in, e.name.c_str(), 0);
    ASSERT_NE(file, nullptr);
    std::string back(e.data.size() + 1, '\0');
    EXPECT_EQ(zip_fread(file, back.data(), back.size()), static_cast<zip_int64_t>(e.data.size()));
    back.resize(e.data.size());
    EXPECT_TRUE(back == e.data);
    zip_fclose(file);
  }
  zip_discard(in);
}

TEST(ThirdPartyTest, NlohmannJsonParsesDumpsAndRejects) {
  using nlohmann::json;
  const json doc = json::parse(R"({"title": "Grüße", "slots": [0, 2, 4], "zoom": 1.5,
                                  "photo": {"pan": [0.25, 0.75]}})");
  EXPECT_EQ(doc.at("title").get<std::string>(), "Grüße");
  EXPECT_EQ(doc.at("slots").size(), 3u);
  EXPECT_EQ(doc.at("slots")[2].get<int>(), 4);
  EXPECT_DOUBLE_EQ(doc.at("photo").at("pan")[1].get<double>(), 0.75);
  EXPECT_EQ(json::parse(doc.dump()), doc);
  // Exceptions cross the static runtime's unwinder on Windows.
  EXPECT_THROW(json::parse(R"({"title": "unfinished)").dump(), json::parse_error);
}

TEST(ThirdPartyTest, WebPDecodesWhatItEncoded) {
  const int w = 13, h = 9;
  struct Case {
    const char* name;
    bool lossless;
    int tolerance;
  };
  for (const Case& c : {Case{"lossless", true, 0}, Case{"lossy", false, 48}}) {
    SCOPED_TRACE(c.name);
    const std::vector<uint8_t> pixels = Sweep(w, h, 4);
    uint8_t* encoded = nullptr;
    const size_t size = c.lossless
                            ? WebPEncodeLosslessRGBA(pixels.data(), w, h, w * 4, &encoded)
                            : WebPEncodeRGBA(pixels.data(), w, h, w * 4, 90, &encoded);
    ASSERT_GT(size, 0u);
    int width = 0, height = 0;
    uint8_t* decoded = WebPDecodeRGBA(encoded, size, &width, &height);
    ASSERT_NE(decoded, nullptr);
    EXPECT_EQ(width, w);
    EXPECT_EQ(height, h);
    EXPECT_LE(MaxDifference(pixels, decoded, pixels.size()), c.tolerance);
    WebPFree(decoded);
    WebPFree(encoded);
  }
}

TEST(ThirdPartyTest, LibtiffReadsWhatItWroteWithEachCodec) {
  const int w = 16, h = 12;
  const std::vector<uint8_t> pixels = Sweep(w, h, 3);
  struct Case {
    const char* name;
    uint16_t compression;
    int tolerance;
  };
  const Case cases[] = {{"none", COMPRESSION_NONE, 0},
                        {"lzw", COMPRESSION_LZW, 0},
                        {"deflate", COMPRESSION_ADOBE_DEFLATE, 0},
                        {"jpeg", COMPRESSION_JPEG, 24}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("tessary-thirdparty-" + std::string(c.name) + ".tif");
#ifdef _WIN32
    TIFF* out = TIFFOpenW(path.wstring().c_str(), "w");
#else
    TIFF* out = TIFFOpen(path.c_str(), "w");
#endif
    ASSERT_NE(out, nullptr) << path;
    TIFFSetField(out, TIFFTAG_IMAGEWIDTH, w);
    TIFFSetField(out, TIFFTAG_IMAGELENGTH, h);
    TIFFSetField(out, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(out, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(out, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(out, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(out, TIFFTAG_ROWSPERSTRIP, h);
    ASSERT_EQ(TIFFSetField(out, TIFFTAG_COMPRESSION, c.compression), 1) << "codec not built in";
    if (c.compression == COMPRESSION_JPEG) TIFFSetField(out, TIFFTAG_JPEGQUALITY, 90);
    for (int y = 0; y < h; ++y) {
      ASSERT_EQ(TIFFWriteScanline(out, const_cast<uint8_t*>(&pixels[y * w * 3]), y, 0), 1);
    }
    TIFFClose(out);

#ifdef _WIN32
    TIFF* in = TIFFOpenW(path.wstring().c_str(), "r");
#else
    TIFF* in = TIFFOpen(path.c_str(), "r");
#endif
    ASSERT_NE(in, nullptr);
    uint16_t compression = 0;
    TIFFGetField(in, TIFFTAG_COMPRESSION, &compression);
    EXPECT_EQ(compression, c.compression);
    std::vector<uint32_t> raster(w * h);
    ASSERT_EQ(TIFFReadRGBAImageOriented(in, w, h, raster.data(), ORIENTATION_TOPLEFT, 0), 1);
    TIFFClose(in);
    std::filesystem::remove(path);
    std::vector<uint8_t> rgb;
    for (uint32_t p : raster) {
      rgb.insert(rgb.end(), {static_cast<uint8_t>(TIFFGetR(p)), static_cast<uint8_t>(TIFFGetG(p)),
                             static_cast<uint8_t>(TIFFGetB(p))});
    }
    EXPECT_LE(MaxDifference(pixels, rgb.data(), rgb.size()), c.tolerance);
  }
}

// pattern-16x8.heic: heif-enc (Debian's libheif-examples, x265) made it with
// -L -p chroma=444 --matrix_coefficients=0 from a PNG of red x * 16, green
// y * 32, blue (x + y) * 8, alpha 255 - 2xy. libheif 1.15 still converts to
// YCbCr, so colours come back within one step; the alpha plane is exact.
TEST(ThirdPartyTest, LibheifDecodesAHeicWithAlpha) {
  const std::vector<uint8_t> file =
      ReadFile(TESSARY_SOURCE_DIR "/tests/thirdparty/pattern-16x8.heic");
  ASSERT_FALSE(file.empty());
  heif_init(nullptr);
  std::unique_ptr<heif_context, void (*)(heif_context*)> context(heif_context_alloc(),
                                                                 heif_context_free);
  heif_error error = heif_context_read_from_memory_without_copy(context.get(), file.data(),
                                                                file.size(), nullptr);
  ASSERT_EQ(error.code, heif_error_Ok) << error.message;
  heif_image_handle* handle = nullptr;
  ASSERT_EQ(heif_context_get_primary_image_handle(context.get(), &handle).code, heif_error_Ok);
  EXPECT_TRUE(heif_image_handle_has_alpha_channel(handle));
  heif_image* image = nullptr;
  error = heif_decode_image(handle, &image, heif_colorspace_RGB, heif_chroma_interleaved_RGBA,
                            nullptr);
  heif_image_handle_release(handle);
  ASSERT_EQ(error.code, heif_error_Ok) << error.message;
  const int w = heif_image_get_width(image, heif_channel_interleaved);
  const int h = heif_image_get_height(image, heif_channel_interleaved);
  ASSERT_EQ(w, 16);
  ASSERT_EQ(h, 8);
  int stride = 0;
  const uint8_t* plane = heif_image_get_plane_readonly(image, heif_channel_interleaved, &stride);
  int colour = 0, alpha = 0;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const uint8_t* p = plane + y * stride + x * 4;
      const int expected[4] = {x * 16, y * 32, (x + y) * 8, 255 - 2 * x * y};
      for (int ch = 0; ch < 3; ++ch) colour = std::max(colour, std::abs(p[ch] - expected[ch]));
      alpha = std::max(alpha, std::abs(p[3] - expected[3]));
    }
  }
  heif_image_release(image);
  context.reset();
  heif_deinit();
  EXPECT_LE(colour, 1);
  EXPECT_EQ(alpha, 0);
}

}  // namespace
