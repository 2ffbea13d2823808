#include "runtime/forms/template/type_data.h"

#include <algorithm>

#include "runtime/forms/template/template_stream.h"

namespace quorlin::forms {

namespace {

// Each type's fields in block order, visited by the reader and by the writer alike, so the two
// cannot disagree about the layout.
template <class V> void Fields(WindowData& d, V& v) {
  v(d.borderKind), v(d.appearance), v(d.backColor), v(d.maximizeBox), v(d.minimizeBox);
  v(d.controlMenu), v(d.startPosition), v(d.moreWords);
  v(d.icon), v(d.backPicture), v.Text(d.title), v(d.moreData);
}
template <class V> void Fields(ButtonData& d, V& v) {
  v(d.kind), v(d.horizontalAlign), v(d.verticalAlign), v(d.picture), v(d.font), v.Text(d.caption);
}
template <class V> void Fields(LabelData& d, V& v) {
  v(d.words), v(d.picture), v(d.font), v.Text(d.caption), v.Text(d.text2), v.Text(d.text3);
}
template <class V> void Fields(EditBoxData& d, V& v) {
  v(d.words), v(d.half), v(d.moreWords), v(d.font), v.Text(d.content), v.Text(d.text2), v.Text(d.text3);
}
template <class V> void Fields(CheckBoxData& d, V& v) {
  v(d.words), v(d.checked), v(d.picture), v(d.font), v.Text(d.caption), v.Text(d.text2), v.Text(d.text3);
}
template <class V> void Fields(ComboBoxData& d, V& v) {
  v(d.kind), v(d.maxTextLength), v(d.selectionStart), v(d.selectionLength), v(d.sorted);
  v(d.extraItemHeight), v(d.furtherWord), v(d.backColor), v(d.selectedIndex);
  v(d.picture), v(d.font), v.Text(d.content), v(d.items), v.Text(d.text2), v.Text(d.text3), v(d.lastWord);
}
template <class V> void Fields(ColorPickerData& d, V& v) { v(d.color), v(d.allowTransparent); }
template <class V> void Fields(PicBoxData& d, V& v) {
  v(d.border), v(d.backColor), v(d.displayMode), v(d.animate), v(d.picture), v.Text(d.text1), v.Text(d.text2);
}
template <class V> void Fields(DrawPanelData& d, V& v) {
  v(d.border), v(d.backColor), v(d.backPictureMode), v(d.autoRedraw), v(d.drawingUnit), v(d.penType);
  v(d.drawMode), v(d.penWidth), v(d.penColor), v(d.brushType), v(d.brushColor), v(d.textColor);
  v(d.textBackColor), v(d.font), v(d.backPicture);
}
template <class V> void Fields(CommonDlgData& d, V& v) {
  v(d.kind), v(d.words);
  for (std::string& text : d.texts) v.Text(text);
}
template <class V> void Fields(DropTargetData& d, V& v) {
  v(d.acceptText), v(d.acceptHtml), v(d.acceptUrl), v(d.acceptFiles);
}

// Reads fields in order; after the first failed read the data is rejected as a whole.
class FieldReader {
 public:
  explicit FieldReader(ByteCursor& cursor) : cursor_(cursor) {}

  FieldReader& operator()(uint32_t& value) { return Step(cursor_.ReadWord(value)); }
  FieldReader& operator()(int32_t& value) { return Step(cursor_.ReadInt(value)); }
  FieldReader& operator()(uint16_t& value) { return Step(cursor_.ReadHalf(value)); }
  FieldReader& operator()(ByteBlock& value) { return Step(cursor_.ReadBlock(value)); }
  FieldReader& Text(std::string& value) { return Step(cursor_.ReadLengthText(value)); }
  template <size_t N> FieldReader& operator()(std::array<uint32_t, N>& words) {
    for (uint32_t& word : words) (*this)(word);
    return *this;
  }
  FieldReader& operator()(std::vector<std::string>& list) {
    uint16_t shortCount = 0;
    uint32_t count = 0;
    if (!cursor_.ReadHalf(shortCount)) return Step(false);
    count = shortCount;
    if (shortCount == 0xFFFF && !cursor_.ReadWord(count)) return Step(false);
    // Every text takes at least its 4-byte length.
    if (uint64_t(count) * 4 > cursor_.Remaining()) return Step(false);
    std::vector<std::string> read(count);
    for (std::string& text : read) {
      if (!cursor_.ReadLengthText(text)) return Step(false);
    }
    list = std::move(read);
    return *this;
  }

  bool Failed() const { return failed_; }

 private:
  FieldReader& Step(bool ok) {
    if (!ok) failed_ = true;
    return *this;
  }

  ByteCursor& cursor_;
  bool failed_ = false;
};

// For a block of an older version: reads fields until the block ends at a field boundary.
class OlderFieldReader {
 public:
  OlderFieldReader(FieldReader& reader, ByteCursor& cursor) : reader_(reader), cursor_(cursor) {}
  template <class T> OlderFieldReader& operator()(T& field) {
    if (More()) reader_(field);
    return *this;
  }
  OlderFieldReader& Text(std::string& field) {
    if (More()) reader_.Text(field);
    return *this;
  }

 private:
  bool More() const { return !reader_.Failed() && !cursor_.AtEnd(); }
  FieldReader& reader_;
  ByteCursor& cursor_;
};

class FieldWriter {
 public:
  explicit FieldWriter(ByteBlock& out) : out_(out) {}
  FieldWriter& operator()(uint32_t value) { AppendWord(out_, value); return *this; }
  FieldWriter& operator()(int32_t value) { AppendWord(out_, static_cast<uint32_t>(value)); return *this; }
  FieldWriter& operator()(uint16_t value) { AppendHalf(out_, value); return *this; }
  FieldWriter& operator()(const ByteBlock& value) { AppendBlock(out_, value); return *this; }
  FieldWriter& Text(const std::string& value) { AppendLengthText(out_, value); return *this; }
  template <size_t N> FieldWriter& operator()(const std::array<uint32_t, N>& words) {
    for (uint32_t word : words) AppendWord(out_, word);
    return *this;
  }
  FieldWriter& operator()(const std::vector<std::string>& list) {
    if (list.size() < 0xFFFF) {
      AppendHalf(out_, static_cast<uint16_t>(list.size()));
    } else {
      AppendHalf(out_, 0xFFFF);
      AppendWord(out_, static_cast<uint32_t>(list.size()));
    }
    for (const std::string& text : list) AppendLengthText(out_, text);
    return *this;
  }

 private:
  ByteBlock& out_;
};

}  // namespace

template <class Data>
std::optional<Data> ReadTypeData(std::span<const uint8_t> block, std::string* error) {
  auto fail = [&](const char* rule) -> std::optional<Data> {
    if (error) *error = rule;
    return std::nullopt;
  };
  Data data;
  if (block.empty()) return data;
  ByteCursor cursor(block);
  if (!cursor.ReadWord(data.version)) return fail("type data shorter than its version word");
  if (data.version > Data::kVersion) return fail("type data version above the known one");
  FieldReader reader(cursor);
  Data read = data;
  if (data.version < Data::kVersion) {
    OlderFieldReader older(reader, cursor);
    Fields(read, older);
  } else {
    Fields(read, reader);
  }
  if (reader.Failed()) return fail("type data field runs past the block");
  if (!cursor.AtEnd()) return fail("type data longer than its fields");
  return read;
}

template <class Data>
ByteBlock WriteTypeData(const Data& data) {
  ByteBlock out;
  FieldWriter writer(out);
  writer(data.version);
  Data copy = data;
  Fields(copy, writer);
  return out;
}

#define QUORLIN_TYPE_DATA(Data)                                                              \
  template std::optional<Data> ReadTypeData<Data>(std::span<const uint8_t>, std::string*); \
  template ByteBlock WriteTypeData<Data>(const Data&);
QUORLIN_TYPE_DATA(WindowData)
QUORLIN_TYPE_DATA(ButtonData)
QUORLIN_TYPE_DATA(LabelData)
QUORLIN_TYPE_DATA(EditBoxData)
QUORLIN_TYPE_DATA(CheckBoxData)
QUORLIN_TYPE_DATA(ComboBoxData)
QUORLIN_TYPE_DATA(ColorPickerData)
QUORLIN_TYPE_DATA(PicBoxData)
QUORLIN_TYPE_DATA(DrawPanelData)
QUORLIN_TYPE_DATA(CommonDlgData)
QUORLIN_TYPE_DATA(DropTargetData)
#undef QUORLIN_TYPE_DATA

ByteBlock MakeLogFont(const LogFontFields& fields) {
  ByteBlock out;
  AppendWord(out, static_cast<uint32_t>(fields.height));
  AppendWord(out, 0);  // width
  AppendWord(out, 0);  // escapement
  AppendWord(out, 0);  // orientation
  AppendWord(out, static_cast<uint32_t>(fields.weight));
  out.insert(out.end(), {0, 0, 0, fields.charSet, 0, 0, 0, 0});
  std::array<uint8_t, 32> face{};
  std::copy_n(fields.face.begin(), std::min<size_t>(fields.face.size(), 31), face.begin());
  out.insert(out.end(), face.begin(), face.end());
  return out;
}

}  // namespace quorlin::forms
