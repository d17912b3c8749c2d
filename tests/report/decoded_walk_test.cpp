// Properties of the one walk over the decoded model, on every real whole EDID: each item and field
// lies inside its block; each field stored as plain bits reads back from its code as the value the
// walk gives, and a value written through the code decodes again as that value at the same JSON
// path (what a field setter relies on); each JSON path names its field in `info --json`.
#include <gtest/gtest.h>

#include <cmath>
#include <iostream>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "report/decoded_tree.h"
#include "report/edid_json.h"
#include "report_test_support.h"
#include "test_support.h"

namespace tolvex {
namespace {

using Json = nlohmann::ordered_json;

std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
  const std::string data = test::ReadFile(path);
  return {data.begin(), data.end()};
}

// Every item and field with its block, as a visitor sees them.
class RangeChecker : public DecodeVisitor {
 public:
  explicit RangeChecker(std::string name) : name_(std::move(name)) {}
  void BeginItem(const DecodedItem& item) override {
    if (item.bytes.first / kEdidSize != item.bytes.last / kEdidSize || item.bytes.Empty()) {
      ADD_FAILURE() << name_ << ": item '" << item.label << "' spans " << item.bytes.first << "-" << item.bytes.last;
    }
    blocks_.push_back(item.bytes.first / kEdidSize);
  }
  void Field(const DecodedField& field) override {
    const int block = blocks_.back();
    const ByteRange inside{block * kEdidSize, block * kEdidSize + kEdidSize - 1};
    if (!field.bytes.Within(inside)) ADD_FAILURE() << name_ << ": field " << field.key << " at " << field.bytes.first;
    if (field.code && !field.code->Range().Within(inside)) ADD_FAILURE() << name_ << ": code of " << field.key;
  }
  void EndItem() override { blocks_.pop_back(); }

 private:
  std::string name_;
  std::vector<int> blocks_;
};

bool Numeric(const FieldValue& value) {
  return value.kind == FieldValue::Kind::kFlag || value.kind == FieldValue::Kind::kInteger ||
         value.kind == FieldValue::Kind::kReal || value.kind == FieldValue::Kind::kEnum;
}

// What the code says the stored bits mean.
double CodedValue(const BitCode& code, std::span<const uint8_t> whole) {
  const uint32_t raw = code.Read(whole);
  return code.names.empty() ? code.Value(raw) : raw;
}

std::map<std::string, DecodedField> ByPath(const DecodedEdid& edid) {
  std::map<std::string, DecodedField> fields;
  for (FieldAtPath& at : FieldPaths(edid)) {
    EXPECT_TRUE(fields.emplace(at.path, at.field).second) << "two fields at " << at.path;
  }
  return fields;
}

TEST(DecodedWalk, ItemsFieldsCodesAndPathsOfEveryRealWholeEdid) {
  const auto files = test::WholeEdidFiles();
  if (files.empty()) GTEST_SKIP() << "no whole EDIDs";
  int coded = 0, rewritten = 0;
  for (size_t f = 0; f < files.size(); ++f) {
    const std::string name = files[f].filename().string();
    const std::vector<uint8_t> whole = ReadBytes(files[f]);
    const DecodedEdid edid = DecodeEdid(whole);
    RangeChecker ranges(name);
    WalkDecodedEdid(edid, ranges);

    const Json json = EdidJson(edid);
    // Every item of the structure tree is an object or list entry of the JSON. (Not always inside
    // its parent's bytes: a CTA data block in DisplayID may run past its container, as the peer
    // reads it too.)
    const DecodedTree tree(edid);
    for (const DecodedNode& node : tree.Nodes()) {
      if (node.IsField()) continue;
      EXPECT_NE(test::JsonAt(json, node.path), nullptr) << name << ": no JSON at " << node.path;
    }
    const std::map<std::string, DecodedField> fields = ByPath(edid);
    for (const auto& [path, field] : fields) {
      const Json* value = test::JsonAt(json, path);
      ASSERT_NE(value, nullptr) << name << ": no JSON at " << path;
      if (field.value.kind == FieldValue::Kind::kFlag) {
        EXPECT_EQ(value->get<bool>(), field.value.number != 0) << name << ": " << path;
      } else if (field.value.kind == FieldValue::Kind::kInteger) {
        EXPECT_EQ(value->get<double>(), field.value.number) << name << ": " << path;
      }
      if (!field.code) continue;
      ++coded;
      ASSERT_TRUE(Numeric(field.value)) << name << ": " << path;
      EXPECT_NEAR(CodedValue(*field.code, whole), field.value.number, 1e-9) << name << ": " << path;
    }

    // Writing through the codes: every tenth file, every coded field, its lowest stored bit flipped.
    if (f % 10 != 0) continue;
    for (const auto& [path, field] : fields) {
      if (!field.code) continue;
      std::vector<uint8_t> changed = whole;
      const uint32_t raw = field.code->Read(changed) ^ 1u;
      field.code->Write(changed, raw);
      const std::map<std::string, DecodedField> after = ByPath(DecodeEdid(changed));
      const auto again = after.find(path);
      if (again == after.end()) continue;  // the field now reads as another (week 0xFF and the model year)
      ++rewritten;
      const double expected = field.code->names.empty() ? field.code->Value(raw) : raw;
      EXPECT_NEAR(again->second.value.number, expected, 1e-9) << name << ": " << path << " written as " << raw;
    }
  }
  std::cout << coded << " coded fields read back, " << rewritten << " written and decoded again\n";
  EXPECT_GT(coded, 10000);
  EXPECT_GT(rewritten, 1000);
}

}  // namespace
}  // namespace tolvex
