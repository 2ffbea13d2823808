#include "platform/gdi/font_engine.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_SIZES_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cstdlib>
#include <cmath>
#include <condition_variable>
#include <deque>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <numbers>
#include <optional>
#include <set>
#include <system_error>
#include <thread>
#include <tuple>
#include <unordered_map>

#include "platform/gdi/font_file_reader.h"

namespace quorlin::platform::gdi {
namespace {

// Our faces on top of the system's configuration: the program's Chinese face names map onto
// the installed Noto CJK faces, and any other face that is not installed falls back to one
// that covers Chinese (the appended family comes right after the requested one, before the
// system's generic defaults).
constexpr char8_t kFontConfigXml[] = u8R"(<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <alias binding="strong"><family>黑体</family><prefer><family>Noto Sans CJK SC</family></prefer></alias>
  <alias binding="strong"><family>SimHei</family><prefer><family>Noto Sans CJK SC</family></prefer></alias>
  <alias binding="strong"><family>宋体</family><prefer><family>Noto Serif CJK SC</family></prefer></alias>
  <alias binding="strong"><family>SimSun</family><prefer><family>Noto Serif CJK SC</family></prefer></alias>
  <alias binding="strong"><family>新宋体</family><prefer><family>Noto Serif CJK SC</family></prefer></alias>
  <alias binding="strong"><family>NSimSun</family><prefer><family>Noto Serif CJK SC</family></prefer></alias>
  <alias binding="strong"><family>微软雅黑</family><prefer><family>Noto Sans CJK SC</family></prefer></alias>
  <alias binding="strong"><family>Microsoft YaHei</family><prefer><family>Noto Sans CJK SC</family></prefer></alias>
  <match target="pattern">
    <test qual="any" name="family" compare="not_eq"><string>quorlin-no-such-face</string></test>
    <edit name="family" mode="append" binding="strong"><string>Noto Sans CJK SC</string></edit>
  </match>
</fontconfig>
)";

}  // namespace

std::mutex& FontLock();

namespace {

struct Engine {
  FcConfig* config = nullptr;
};

Engine& TheEngine() {
  static Engine* engine = [] {
    auto* e = new Engine;
    e->config = FcInitLoadConfig();
    if (e->config != nullptr) {
      FcConfigParseAndLoadFromMemory(e->config, reinterpret_cast<const FcChar8*>(kFontConfigXml), FcFalse);
      FcConfigBuildFonts(e->config);
      // Fontconfig frees part of what loading allocated only when the configuration goes.
      std::atexit([] {
        std::lock_guard lock(FontLock());
        FcConfigDestroy(TheEngine().config);
        TheEngine().config = nullptr;
      });
    }
    return e;
  }();
  return *engine;
}

struct FaceFile {
  std::string path;
  int index = 0;
  int weight = FC_WEIGHT_REGULAR;
  std::string family;
};

bool MatchFaceFile(const std::string& family, int weight, bool italic, FaceFile* out) {
  Engine& e = TheEngine();
  if (e.config == nullptr) return false;
  FcPattern* pattern = FcPatternCreate();
  if (!family.empty()) FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pattern, FC_WEIGHT, weight >= 600 ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(e.config, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result;
  FcPattern* match = FcFontMatch(e.config, pattern, &result);
  FcPatternDestroy(pattern);
  if (match == nullptr) return false;
  FcChar8* file = nullptr;
  FcChar8* name = nullptr;
  bool ok = FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch;
  if (ok) {
    out->path = reinterpret_cast<const char*>(file);
    FcPatternGetInteger(match, FC_INDEX, 0, &out->index);
    FcPatternGetInteger(match, FC_WEIGHT, 0, &out->weight);
    if (FcPatternGetString(match, FC_FAMILY, 0, &name) == FcResultMatch) out->family = reinterpret_cast<const char*>(name);
  }
  FcPatternDestroy(match);
  return ok;
}

// The face file for a family, weight class and slant, matched once and remembered: fonts of
// one face at several sizes ask the same. Under the font lock.
bool MatchFace(const std::string& family, int weight, bool italic, FaceFile* out) {
  static auto* matches = new std::map<std::tuple<std::string, bool, bool>, std::optional<FaceFile>>;
  auto [it, fresh] = matches->try_emplace(std::tuple(family, weight >= 600, italic));
  if (fresh) {
    FaceFile file;
    if (MatchFaceFile(family, weight, italic, &file)) it->second = std::move(file);
  }
  if (!it->second) return false;
  *out = *it->second;
  return true;
}

// One FreeType face per font file, shared by every font that uses it; each font draws through a
// size object of its own on it. Faces stay open for the rest of the process. Null when the file
// cannot be opened.
//
// Faces open without the font lock, each in a FreeType library of its own (opening faces in one
// library must be serialised), so that several open side by side; whoever asks for a face that
// another thread is opening waits for it. All use of a face after that is under the font lock.
struct FaceSlot {
  std::mutex mutex;
  std::condition_variable opened;
  bool ready = false;
  FT_Face face = nullptr;
};

FT_Face OpenInOwnLibrary(const FaceFile& file) {
  FT_Library library = nullptr;
  if (FT_Init_FreeType(&library) != 0) return nullptr;
  FT_Face face = nullptr;
  if (OpenFaceFromFile(library, file.path, file.index, &face) == 0) return face;
  FT_Done_FreeType(library);
  return nullptr;
}

FT_Face SharedFace(const FaceFile& file) {
  static auto* facesLock = new std::mutex;
  static auto* faces = new std::map<std::pair<std::string, int>, std::shared_ptr<FaceSlot>>;
  std::shared_ptr<FaceSlot> slot;
  bool opener = false;
  {
    std::lock_guard lock(*facesLock);
    auto [it, fresh] = faces->try_emplace(std::pair(file.path, file.index));
    if (fresh) it->second = std::make_shared<FaceSlot>();
    opener = fresh;
    slot = it->second;
  }
  if (opener) {
    FT_Face face = OpenInOwnLibrary(file);
    {
      std::lock_guard lock(slot->mutex);
      slot->face = face;
      slot->ready = true;
    }
    slot->opened.notify_all();
    return face;
  }
  std::unique_lock lock(slot->mutex);
  slot->opened.wait(lock, [&] { return slot->ready; });
  return slot->face;
}

int RoundDiv(int64_t a, int64_t b) { return static_cast<int>(std::llround(static_cast<double>(a) / b)); }

class FreeTypeFont final : public RealizedFont {
 public:
  static std::unique_ptr<FreeTypeFont> Create(const FontRequest& r) {
    FaceFile file;
    if (!MatchFace(r.faceUtf8, r.weight, r.italic, &file)) return nullptr;
    auto font = std::unique_ptr<FreeTypeFont>(new FreeTypeFont);
    if (!font->Open(file, r)) return nullptr;
    font->filePath_ = file.path;
    font->weight_ = r.weight;
    font->italic_ = r.italic;
    return font;
  }

  ~FreeTypeFont() override {
    if (size_) FT_Done_Size(size_);
    if (fallbackSize_) FT_Done_Size(fallbackSize_);
  }

  const TEXTMETRICA& Metrics() const override { return metrics_; }
  int UnderlinePosition() const override { return underlinePosition_; }
  int UnderlineThickness() const override { return underlineThickness_; }
  int StrikeOutPosition() const override { return strikeOutPosition_; }
  std::string FamilyName() const override { return family_; }

  const Glyph& GlyphOf(char32_t cp) override {
    auto it = glyphs_.find(cp);
    if (it != glyphs_.end()) return it->second;
    return glyphs_.emplace(cp, Render(cp)).first->second;
  }

 private:
  FreeTypeFont() = default;

  bool Open(const FaceFile& file, const FontRequest& r) {
    face_ = SharedFace(file);
    if (face_ == nullptr || FT_New_Size(face_, &size_) != 0) {
      size_ = nullptr;
      return false;
    }
    family_ = file.family;
    const int upem = face_->units_per_EM > 0 ? face_->units_per_EM : 1000;
    const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face_, FT_SFNT_OS2));
    int ascentUnits = os2 && os2->usWinAscent ? os2->usWinAscent : face_->ascender;
    int descentUnits = os2 && os2->usWinDescent ? os2->usWinDescent : -face_->descender;
    if (ascentUnits + descentUnits <= 0) {
      ascentUnits = upem * 8 / 10;
      descentUnits = upem - ascentUnits;
    }
    // A negative height is the em (character) height, a positive one the cell height.
    int height = r.height == 0 ? -12 : r.height;
    ppemY_ = height < 0 ? -height : std::max(1, RoundDiv(int64_t{height} * upem, ascentUnits + descentUnits));
    ppemY_ = std::clamp(ppemY_, 1, 2048);
    const int averageUnits = os2 && os2->xAvgCharWidth > 0 ? os2->xAvgCharWidth : upem / 2;
    ppemX_ = ppemY_;
    if (r.width != 0) {
      const double natural = static_cast<double>(averageUnits) * ppemY_ / upem;
      ppemX_ = std::clamp(static_cast<int>(std::lround(ppemY_ * std::abs(r.width) / std::max(natural, 1.0))), 1, 4096);
    }
    const double sy = static_cast<double>(ppemY_) / upem, sx = static_cast<double>(ppemX_) / upem;
    syntheticBold_ = r.weight >= 600 && file.weight < FC_WEIGHT_DEMIBOLD;
    syntheticItalic_ = r.italic && !(face_->style_flags & FT_STYLE_FLAG_ITALIC);
    angle_ = r.escapement % 3600 * std::numbers::pi / 1800.0;
    SizeFace(face_, size_);

    TEXTMETRICA& m = metrics_;
    m.tmAscent = static_cast<LONG>(std::lround(ascentUnits * sy));
    m.tmDescent = static_cast<LONG>(std::lround(descentUnits * sy));
    m.tmHeight = m.tmAscent + m.tmDescent;
    m.tmInternalLeading = std::max<LONG>(0, m.tmHeight - ppemY_);
    m.tmExternalLeading = 0;
    m.tmAveCharWidth = static_cast<LONG>(std::lround(averageUnits * sx));
    m.tmMaxCharWidth = static_cast<LONG>(std::lround((face_->bbox.xMax - face_->bbox.xMin) * sx));
    m.tmWeight = r.weight == 0 ? FW_NORMAL : r.weight;
    m.tmOverhang = 0;
    m.tmDigitizedAspectX = m.tmDigitizedAspectY = 96;
    m.tmFirstChar = 0x20;
    m.tmLastChar = 0xFF;
    m.tmDefaultChar = 0x1F;
    m.tmBreakChar = 0x20;
    m.tmItalic = r.italic ? 1 : 0;
    m.tmUnderlined = r.underline ? 1 : 0;
    m.tmStruckOut = r.strikeOut ? 1 : 0;
    // TMPF_VECTOR | TMPF_TRUETYPE, and TMPF_FIXED_PITCH which (as on the platform) marks a
    // variable-pitch font.
    m.tmPitchAndFamily = static_cast<BYTE>(0x06 | (FT_IS_FIXED_WIDTH(face_) ? 0 : 0x01));
    m.tmCharSet = GB2312_CHARSET;

    underlineThickness_ = std::max(1, static_cast<int>(std::lround(std::max<int>(face_->underline_thickness, upem / 20) * sy)));
    underlinePosition_ = std::max(1, static_cast<int>(std::lround(-face_->underline_position * sy)));
    const int strikeUnits = os2 && os2->yStrikeoutPosition > 0 ? os2->yStrikeoutPosition : upem * 3 / 10;
    strikeOutPosition_ = static_cast<int>(std::lround(strikeUnits * sy));
    return true;
  }

  // Gives the size object this font's pixel size; the face then draws at it.
  void SizeFace(FT_Face face, FT_Size size) {
    FT_Activate_Size(size);
    FT_Set_Pixel_Sizes(face, static_cast<FT_UInt>(ppemX_), static_cast<FT_UInt>(ppemY_));
  }

  // Makes the face draw at this font's size and angle; the face is shared, so before every
  // glyph.
  void UseFace(FT_Face face, FT_Size size) {
    FT_Activate_Size(size);
    FT_Matrix m;
    const double c = std::cos(angle_), s = std::sin(angle_);
    const double shear = syntheticItalic_ ? 0.2 : 0.0;
    // rotation × shear, in FreeType's y-up coordinates
    m.xx = static_cast<FT_Fixed>(std::lround(c * 65536));
    m.xy = static_cast<FT_Fixed>(std::lround((c * shear - s) * 65536));
    m.yx = static_cast<FT_Fixed>(std::lround(s * 65536));
    m.yy = static_cast<FT_Fixed>(std::lround((s * shear + c) * 65536));
    FT_Set_Transform(face, &m, nullptr);
  }

  // The face that covers Chinese, for glyphs this font's face lacks: looked up the first time
  // one is missing. False when there is none other than this font's own.
  bool OpenFallback() {
    if (fallbackTried_) return fallback_ != nullptr;
    fallbackTried_ = true;
    FaceFile fallback;
    if (!MatchFace("Noto Sans CJK SC", weight_, italic_, &fallback) || fallback.path == filePath_) return false;
    FT_Face face = SharedFace(fallback);
    if (face == nullptr || FT_New_Size(face, &fallbackSize_) != 0) {
      fallbackSize_ = nullptr;
      return false;
    }
    fallback_ = face;
    SizeFace(fallback_, fallbackSize_);
    return true;
  }

  Glyph Render(char32_t cp) {
    FT_Face face = face_;
    FT_Size size = size_;
    FT_UInt index = FT_Get_Char_Index(face_, cp);
    if (index == 0 && OpenFallback()) {
      const FT_UInt other = FT_Get_Char_Index(fallback_, cp);
      if (other != 0) {
        face = fallback_;
        size = fallbackSize_;
        index = other;
      }
    }
    UseFace(face, size);
    Glyph g;
    const FT_Int32 flags = angle_ == 0 && !syntheticItalic_ ? FT_LOAD_TARGET_LIGHT : FT_LOAD_NO_HINTING;
    if (FT_Load_Glyph(face, index, flags | FT_LOAD_NO_BITMAP) != 0) return g;
    FT_GlyphSlot slot = face->glyph;
    g.advance = static_cast<int>((slot->linearHoriAdvance + 0x8000) >> 16);
    if (slot->format == FT_GLYPH_FORMAT_OUTLINE && syntheticBold_) {
      const FT_Pos strength = std::max<FT_Pos>(64, ppemY_ * 64 / 24);
      FT_Outline_Embolden(&slot->outline, strength);
      g.advance += static_cast<int>((strength + 63) / 64);
    }
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return g;
    const FT_Bitmap& b = slot->bitmap;
    g.left = slot->bitmap_left;
    g.top = slot->bitmap_top;
    g.width = static_cast<int>(b.width);
    g.height = static_cast<int>(b.rows);
    g.coverage.resize(static_cast<size_t>(g.width) * g.height);
    for (int y = 0; y < g.height; ++y) {
      const unsigned char* row = b.buffer + static_cast<ptrdiff_t>(y) * b.pitch;
      std::copy(row, row + g.width, g.coverage.begin() + static_cast<ptrdiff_t>(y) * g.width);
    }
    return g;
  }

  FT_Face face_ = nullptr;  // shared
  FT_Size size_ = nullptr;
  FT_Face fallback_ = nullptr;  // shared
  FT_Size fallbackSize_ = nullptr;
  bool fallbackTried_ = false;
  std::string filePath_;
  int weight_ = 0;
  bool italic_ = false;
  std::string family_;
  int ppemX_ = 12, ppemY_ = 12;
  bool syntheticBold_ = false;
  bool syntheticItalic_ = false;
  double angle_ = 0;
  TEXTMETRICA metrics_{};
  int underlinePosition_ = 1, underlineThickness_ = 1, strikeOutPosition_ = 4;
  std::unordered_map<char32_t, Glyph> glyphs_;
};

struct CacheEntry {
  FontRequest request;
  std::unique_ptr<RealizedFont> font;
};

constexpr size_t kMaxCachedFonts = 32;

}  // namespace

std::mutex& FontLock() {
  static std::mutex* lock = new std::mutex;
  return *lock;
}

namespace {

// Opens the face a font of this family, weight and slant draws with, unless it is open already.
void OpenFace(const std::string& familyUtf8, int weight, bool italic) {
  FaceFile file;
  {
    std::lock_guard lock(FontLock());
    if (!MatchFace(familyUtf8, weight, italic, &file)) return;
  }
  SharedFace(file);
}

// Font work done ahead of need, in order, on one thread that stays: a thread made per request
// would be made while the window thread draws, and making a thread waits while another loads
// a library (the HTTP transport, ahead of the first request).
class FontPreparation {
 public:
  // False when no thread can be had; the work is then left to the first font that needs it.
  bool Post(std::function<void()> work) {
    std::lock_guard lock(mutex_);
    if (!started_) {
      started_ = true;
      try {
        std::thread([this] { Serve(); }).detach();
        running_ = true;
      } catch (const std::system_error&) {
      }
    }
    if (!running_) return false;
    work_.push_back(std::move(work));
    posted_.notify_one();
    return true;
  }

 private:
  void Serve() {
    for (;;) {
      std::function<void()> work;
      {
        std::unique_lock lock(mutex_);
        posted_.wait(lock, [this] { return !work_.empty(); });
        work = std::move(work_.front());
        work_.pop_front();
      }
      work();
    }
  }

  std::mutex mutex_;
  std::condition_variable posted_;
  std::deque<std::function<void()>> work_;
  bool started_ = false;
  bool running_ = false;
};

FontPreparation& ThePreparation() {
  static auto* preparation = new FontPreparation;  // its thread outlives static destruction
  return *preparation;
}

}  // namespace

void PrepareFontsInBackground() {
  ThePreparation().Post([] {
    {
      std::lock_guard lock(FontLock());
      TheEngine();
    }
    // The stock fonts' regular face: every window's controls draw with it. (The bold one is for
    // window captions, drawn when somebody looks at them.)
    OpenFace(reinterpret_cast<const char*>(u8"宋体"), FW_NORMAL, false);
  });
}

void PrepareFaceInBackground(const std::string& familyUtf8, int weight, bool italic) {
  static auto* askedLock = new std::mutex;
  static auto* asked = new std::set<std::tuple<std::string, bool, bool>>;
  {
    std::lock_guard lock(*askedLock);
    if (!asked->emplace(familyUtf8, weight >= 600, italic).second) return;
  }
  // Without a thread the face opens when text is first drawn in it.
  ThePreparation().Post([familyUtf8, weight, italic] { OpenFace(familyUtf8, weight, italic); });
}

RealizedFont* RealizeFont(const FontRequest& request) {
  static std::list<CacheEntry>* cache = new std::list<CacheEntry>;
  for (auto it = cache->begin(); it != cache->end(); ++it) {
    if (it->request == request) {
      cache->splice(cache->begin(), *cache, it);  // most recently used first
      return cache->front().font.get();
    }
  }
  auto font = FreeTypeFont::Create(request);
  if (!font) return nullptr;
  cache->push_front(CacheEntry{request, std::move(font)});
  if (cache->size() > kMaxCachedFonts) cache->pop_back();
  return cache->front().font.get();
}

}  // namespace quorlin::platform::gdi
