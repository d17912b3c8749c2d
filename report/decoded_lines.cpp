#include "report/decoded_lines.h"

#include <cstdio>

#include "model/decode_texts.h"

namespace tolvex {

namespace {

// Labels fill the column the base report's labels fill ("\tPixel Clock (MHz)               :  ").
constexpr size_t kLabelColumn = 32;
constexpr std::string_view kValueMark = ":  ";

class LineWriter : public DecodeVisitor {
 public:
  LineWriter(std::string& text, std::string_view lineEnd, int depth) : text_(text), lineEnd_(lineEnd), depth_(depth) {}

  void BeginItem(const DecodedItem& item) override {
    if (skip_ > 0) {
      ++skip_;
      return;
    }
    Indent(depth_);
    text_ += item.label;
    AppendBytes(item.bytes);
    text_ += lineEnd_;
    if (item.compact) {
      skip_ = 1;
      return;
    }
    ++depth_;
  }

  void Field(const DecodedField& field) override {
    if (skip_ > 0 || field.role == FieldRole::kIdentity || field.role == FieldRole::kDetail) return;
    if (field.role == FieldRole::kQuiet && field.value.number == 0) return;
    Indent(depth_);
    text_ += field.label;
    if (field.label.size() < kLabelColumn) text_.append(kLabelColumn - field.label.size(), ' ');
    text_ += kValueMark;
    text_ += FormatFieldValue(field.value);
    text_ += lineEnd_;
  }

  void EndItem() override {
    if (skip_ > 0) {
      --skip_;
      return;
    }
    --depth_;
  }

 private:
  void Indent(int depth) { text_.append(static_cast<size_t>(depth), '\t'); }

  void AppendBytes(const ByteRange& bytes) {
    char range[40];
    if (bytes.first == bytes.last) {
      std::snprintf(range, sizeof range, decode_text::kItemByte, bytes.first);
    } else {
      std::snprintf(range, sizeof range, decode_text::kItemBytes, bytes.first, bytes.last);
    }
    text_ += range;
  }

  std::string& text_;
  std::string_view lineEnd_;
  int depth_;
  int skip_ = 0;  // inside a compact item: its fields print as its label
};

}  // namespace

void AppendDecodedLines(std::string& text, const DecodedBlock& block, DecodeScope scope, std::string_view lineEnd,
                        int depth) {
  LineWriter writer(text, lineEnd, depth);
  WalkBlockContent(block, scope, writer);
}

void AppendDecodedEdid(std::string& text, const DecodedEdid& edid, std::string_view lineEnd) {
  LineWriter writer(text, lineEnd, 0);
  WalkDecodedEdid(edid, writer);
}

}  // namespace tolvex
