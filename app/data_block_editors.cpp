#include "app/data_block_editors.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <optional>

#include "app/node_editor.h"
#include "app/node_editor_texts.h"
#include "document/edid_code_view.h"
#include "document/form_validation.h"
#include "document/framework_texts.h"
#include "model/edid_block.h"
#include "model/task_edits.h"
#include "model/vic_table.h"
#include "model/video_timing.h"
#include "report/decoded_tree.h"
#include "wizard/detail_timing_dlg.h"

namespace tolvex {

namespace {

QString Text(const char* text) { return QString::fromUtf8(text); }
QString Text(const std::string& text) { return QString::fromStdString(text); }

constexpr int kMaxPayload = 31;  // a data block header's five length bits
constexpr int kSadSize = 3;
// L-PCM, 2 channels, 32/44.1/48 kHz, 16/20/24 bit: what a new descriptor offers.
constexpr std::array<uint8_t, kSadSize> kNewSad = {0x09, 0x07, 0x07};

const DecodedNode& NodeAt(const DecodedTree& tree, int index) { return tree.Nodes()[static_cast<size_t>(index)]; }

// The field `key` directly under `item`, or null.
const DecodedNode* ChildField(const DecodedTree& tree, int item, std::string_view key) {
  const std::vector<DecodedNode>& nodes = tree.Nodes();
  for (size_t i = static_cast<size_t>(item) + 1; i < nodes.size() && nodes[i].depth > NodeAt(tree, item).depth; ++i) {
    if (nodes[i].parent == item && nodes[i].IsField() && nodes[i].field->key == key) return &nodes[i];
  }
  return nullptr;
}

// The entries of the list `key` directly under `item`.
std::vector<int> ChildEntries(const DecodedTree& tree, int item, const std::string& key) {
  std::vector<int> entries;
  const std::string prefix = NodeAt(tree, item).path + "." + key + "[";
  const std::vector<DecodedNode>& nodes = tree.Nodes();
  for (size_t i = static_cast<size_t>(item) + 1; i < nodes.size() && nodes[i].depth > NodeAt(tree, item).depth; ++i) {
    const bool entry = nodes[i].parent == item && !nodes[i].IsField() && nodes[i].path.rfind(prefix, 0) == 0;
    if (entry) entries.push_back(static_cast<int>(i));
  }
  return entries;
}

// Where a CTA-861 data block sits: "blocks[1].data_blocks[2]" is block 1, position 2.
struct DataBlockPlace {
  int block = -1;
  int position = -1;
};
std::optional<DataBlockPlace> PlaceOf(const std::string& path) {
  static const QRegularExpression pattern(QStringLiteral("^blocks\\[(\\d+)\\]\\.data_blocks\\[(\\d+)\\]$"));
  const QRegularExpressionMatch match = pattern.match(QString::fromStdString(path));
  if (!match.hasMatch()) return std::nullopt;
  return DataBlockPlace{match.captured(1).toInt(), match.captured(2).toInt()};
}

// Changes the data block at `place`, which must still be of `kind`; its header's length follows.
EditResult EditDataBlock(EdidData& edid, DataBlockPlace place, CtaKind kind,
                         const std::function<EditResult(CtaDataBlockBytes&, int headerBytes)>& change) {
  return EditCtaLayout(edid, place.block, [&](CtaLayout& layout) {
    if (place.position >= static_cast<int>(layout.dataBlocks.size()) ||
        CtaLayout::KindOf(layout.dataBlocks[static_cast<size_t>(place.position)]) != kind) {
      return EditResult::Refused(Text(texts::kNotThisBlock).toStdString());
    }
    CtaDataBlockBytes& block = layout.dataBlocks[static_cast<size_t>(place.position)];
    const int headerBytes = static_cast<int>(block.bytes.size()) - (block.bytes[0] & 0x1F);
    EditResult result = change(block, headerBytes);
    if (!result.Ok()) return result;
    const int payload = static_cast<int>(block.bytes.size()) - 1;
    if (payload > kMaxPayload) return EditResult::Refused(Text(texts::kVicBlockFull).toStdString());
    block.bytes[0] = static_cast<uint8_t>((block.bytes[0] & 0xE0) | payload);
    return result;
  });
}

QListWidget* MakeList(QWidget* parent, const char* name) {
  auto* list = new QListWidget(parent);
  list->setObjectName(QString::fromLatin1(name));
  list->setMaximumHeight(140);
  return list;
}

QPushButton* MakeButton(QWidget* parent, const char* text, const char* name) {
  auto* button = new QPushButton(Text(text), parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setAutoDefault(false);
  return button;
}

// Keeps the row chosen at `row` (or the last one) when the list is filled again.
void FillList(QListWidget* list, const QStringList& lines) {
  const int row = list->currentRow();
  list->clear();
  list->addItems(lines);
  if (row >= 0 && list->count() > 0) list->setCurrentRow(std::min(row, list->count() - 1));
}

// ---- Video Data Block ---------------------------------------------------------------------------

class VideoBlockEditor : public DataBlockEditor {
 public:
  VideoBlockEditor(CNodeEditor& owner, DataBlockPlace place, QWidget* parent)
      : DataBlockEditor(parent), owner_(owner), place_(place) {
    setObjectName(QStringLiteral("videoBlockEditor"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(Text(texts::kVicListHeading), this));
    vics_ = MakeList(this, "vicList");
    layout->addWidget(vics_);
    remove_ = MakeButton(this, texts::kVicRemove, "vicRemove");
    layout->addWidget(remove_, 0, Qt::AlignLeft);
    layout->addWidget(new QLabel(Text(texts::kVicPickerHeading), this));
    filter_ = new QLineEdit(this);
    filter_->setObjectName(QStringLiteral("vicFilter"));
    filter_->setPlaceholderText(Text(texts::kVicFilterPrompt));
    layout->addWidget(filter_);
    picker_ = MakeList(this, "vicPicker");
    for (const VicEntry& entry : kVicTable) {
      auto* line = new QListWidgetItem(VicLine(entry.vic), picker_);
      line->setData(Qt::UserRole, entry.vic);
    }
    layout->addWidget(picker_);
    add_ = MakeButton(this, texts::kVicAdd, "vicAdd");
    layout->addWidget(add_, 0, Qt::AlignLeft);

    connect(filter_, &QLineEdit::textChanged, this, [this](const QString& text) { Filter(text); });
    connect(vics_, &QListWidget::currentRowChanged, this, [this] { remove_->setEnabled(vics_->currentRow() >= 0); });
    connect(picker_, &QListWidget::currentRowChanged, this, [this] { add_->setEnabled(picker_->currentRow() >= 0); });
    connect(picker_, &QListWidget::itemActivated, this, [this] { Add(); });
    connect(add_, &QPushButton::clicked, this, [this] { Add(); });
    connect(remove_, &QPushButton::clicked, this, [this] { Remove(); });
    add_->setEnabled(false);
    remove_->setEnabled(false);
  }

  void Refresh(const DecodedTree& tree, int item) override {
    QStringList lines;
    vicNumbers_.clear();
    for (int entry : ChildEntries(tree, item, "svds")) {
      const DecodedNode* vic = ChildField(tree, entry, "vic");
      const int number = vic ? static_cast<int>(vic->field->value.number) : 0;
      vicNumbers_.push_back(number);
      lines << Text(NodeAt(tree, entry).label);
    }
    FillList(vics_, lines);
    remove_->setEnabled(vics_->currentRow() >= 0);
  }

 private:
  static QString VicLine(int vic) {
    const VideoTiming* timing = FindVic(vic);
    return Text(texts::kVicLine).arg(vic).arg(timing ? Text(DescribeTiming(*timing)) : QString());
  }

  void Filter(const QString& text) {
    // Every word must appear: "3840 120" finds the 3840-wide formats at 120 Hz.
    const QStringList words = text.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (int i = 0; i < picker_->count(); ++i) {
      QListWidgetItem* line = picker_->item(i);
      const bool shown = std::all_of(words.begin(), words.end(), [&](const QString& word) {
        return line->text().contains(word, Qt::CaseInsensitive);
      });
      line->setHidden(!shown);
    }
  }

  void Add() {
    QListWidgetItem* chosen = picker_->currentItem();
    if (!chosen) return;
    const int vic = chosen->data(Qt::UserRole).toInt();
    owner_.Apply(Text(texts::kAddVicStep).arg(vic), [place = place_, vic](EdidData& edid) {
      return EditDataBlock(edid, place, CtaKind::kVideo, [vic](CtaDataBlockBytes& block, int headerBytes) {
        for (size_t i = static_cast<size_t>(headerBytes); i < block.bytes.size(); ++i) {
          const int stored = block.bytes[i];
          // VICs 1-64 may carry the native bit above them.
          const int there = stored >= 129 && stored <= 192 ? stored & 0x7F : stored;
          if (there == vic) return EditResult::Refused(Text(texts::kVicThere).arg(vic).toStdString());
        }
        if (static_cast<int>(block.bytes.size()) > kMaxPayload) {
          return EditResult::Refused(Text(texts::kVicBlockFull).toStdString());
        }
        block.bytes.push_back(static_cast<uint8_t>(vic));
        block.ycbcr420.push_back(false);
        return EditResult{};
      });
    });
  }

  void Remove() {
    const int row = vics_->currentRow();
    if (row < 0 || row >= static_cast<int>(vicNumbers_.size())) return;
    const QString name = Text(texts::kRemoveVicStep).arg(vicNumbers_[static_cast<size_t>(row)]);
    owner_.Apply(name, [place = place_, row](EdidData& edid) {
      return EditDataBlock(edid, place, CtaKind::kVideo, [row](CtaDataBlockBytes& block, int headerBytes) {
        block.bytes.erase(block.bytes.begin() + headerBytes + row);
        // The 4:2:0 map loses the SVD's mark with it.
        if (row < static_cast<int>(block.ycbcr420.size())) block.ycbcr420.erase(block.ycbcr420.begin() + row);
        return EditResult{};
      });
    });
  }

  CNodeEditor& owner_;
  DataBlockPlace place_;
  QListWidget* vics_;
  QPushButton* remove_;
  QLineEdit* filter_;
  QListWidget* picker_;
  QPushButton* add_;
  std::vector<int> vicNumbers_;
};

// ---- Audio Data Block ---------------------------------------------------------------------------

class AudioBlockEditor : public DataBlockEditor {
 public:
  AudioBlockEditor(CNodeEditor& owner, DataBlockPlace place, QWidget* parent)
      : DataBlockEditor(parent), owner_(owner), place_(place) {
    setObjectName(QStringLiteral("audioBlockEditor"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* heading = new QLabel(Text(texts::kSadHeading), this);
    heading->setWordWrap(true);
    layout->addWidget(heading);
    sads_ = MakeList(this, "sadList");
    layout->addWidget(sads_);
    auto* buttons = new QHBoxLayout;
    add_ = MakeButton(this, texts::kSadAdd, "sadAdd");
    remove_ = MakeButton(this, texts::kSadRemove, "sadRemove");
    buttons->addWidget(add_);
    buttons->addWidget(remove_);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    connect(sads_, &QListWidget::currentRowChanged, this, [this] { remove_->setEnabled(sads_->currentRow() >= 0); });
    connect(add_, &QPushButton::clicked, this, [this] { Add(); });
    connect(remove_, &QPushButton::clicked, this, [this] { Remove(); });
    remove_->setEnabled(false);
  }

  void Refresh(const DecodedTree& tree, int item) override {
    QStringList lines;
    for (int entry : ChildEntries(tree, item, "sads")) lines << Text(NodeAt(tree, entry).label);
    FillList(sads_, lines);
    remove_->setEnabled(sads_->currentRow() >= 0);
  }

 private:
  void Add() {
    owner_.Apply(Text(texts::kAddSadStep), [place = place_](EdidData& edid) {
      return EditDataBlock(edid, place, CtaKind::kAudio, [](CtaDataBlockBytes& block, int) {
        if (static_cast<int>(block.bytes.size()) - 1 + kSadSize > kMaxPayload) {
          return EditResult::Refused(Text(texts::kAudioBlockFull).toStdString());
        }
        block.bytes.insert(block.bytes.end(), kNewSad.begin(), kNewSad.end());
        return EditResult{};
      });
    });
  }

  void Remove() {
    const int row = sads_->currentRow();
    if (row < 0) return;
    owner_.Apply(Text(texts::kRemoveSadStep), [place = place_, row](EdidData& edid) {
      return EditDataBlock(edid, place, CtaKind::kAudio, [row](CtaDataBlockBytes& block, int headerBytes) {
        const auto first = block.bytes.begin() + headerBytes + row * kSadSize;
        if (first + kSadSize > block.bytes.end()) return EditResult::Refused(Text(texts::kNotThisBlock).toStdString());
        block.bytes.erase(first, first + kSadSize);
        return EditResult{};
      });
    });
  }

  CNodeEditor& owner_;
  DataBlockPlace place_;
  QListWidget* sads_;
  QPushButton* add_;
  QPushButton* remove_;
};

// ---- HDR static metadata ------------------------------------------------------------------------

class HdrLuminanceEditor : public DataBlockEditor {
 public:
  HdrLuminanceEditor(CNodeEditor& owner, QWidget* parent) : DataBlockEditor(parent), owner_(owner) {
    setObjectName(QStringLiteral("hdrLuminanceEditor"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(Text(texts::kHdrHeading), this));
    auto* form = new QFormLayout;
    const auto make = [&](const char* label, const char* name) {
      auto* edit = new QLineEdit(this);
      edit->setObjectName(QString::fromLatin1(name));
      form->addRow(Text(label), edit);
      connect(edit, &QLineEdit::returnPressed, this, [this] { SetLuminance(); });
      return edit;
    };
    max_ = make(texts::kHdrMax, "hdrMax");
    avg_ = make(texts::kHdrAvg, "hdrAvg");
    min_ = make(texts::kHdrMin, "hdrMin");
    layout->addLayout(form);
    stored_ = new QLabel(this);
    stored_->setObjectName(QStringLiteral("hdrStored"));
    layout->addWidget(stored_);
    auto* apply = MakeButton(this, texts::kHdrApply, "hdrApply");
    layout->addWidget(apply, 0, Qt::AlignLeft);
    connect(apply, &QPushButton::clicked, this, [this] { SetLuminance(); });
  }

  void Refresh(const DecodedTree& tree, int item) override {
    const auto value = [&](std::string_view key) {
      const DecodedNode* node = ChildField(tree, item, key);
      return node ? Text(node->value) : QString();
    };
    const auto shown = [](const QString& text) { return text.isEmpty() ? Text(texts::kHdrNotStored) : text; };
    const QString max = value("max_luminance");
    const QString avg = value("max_fall");
    const QString min = value("min_luminance");
    stored_->setText(Text(texts::kHdrStored).arg(shown(max), shown(avg), shown(min)));
    // What the codes decode to, unless the user is typing there.
    for (auto [edit, text] : {std::pair{max_, max}, std::pair{avg_, avg}, std::pair{min_, min}}) {
      if (!edit->hasFocus()) edit->setText(text);
    }
  }

 private:
  // An empty field gives no value; `required` refuses it.
  std::optional<std::optional<double>> Read(QLineEdit* edit, const char* label, bool required) {
    if (!required && edit->text().trimmed().isEmpty()) return std::optional<double>();
    const std::optional<double> value = ParseNumber(edit->text());
    if (!value || *value < 0) {
      owner_.ShowMessage(Text(texts::kHdrBadNumber).arg(Text(label)));
      return std::nullopt;
    }
    return value;
  }

  void SetLuminance() {
    const auto max = Read(max_, texts::kHdrMax, true);
    const auto avg = max ? Read(avg_, texts::kHdrAvg, false) : std::nullopt;
    const auto min = avg ? Read(min_, texts::kHdrMin, false) : std::nullopt;
    if (!min) return;
    const double maxValue = **max;
    const std::optional<double> avgValue = *avg;
    const std::optional<double> minValue = *min;
    owner_.Apply(Text(texts::kHdrStep), [maxValue, avgValue, minValue](EdidData& edid) {
      return SetHdrLuminance(edid, maxValue, avgValue, minValue);
    });
  }

  CNodeEditor& owner_;
  QLineEdit* max_;
  QLineEdit* avg_;
  QLineEdit* min_;
  QLabel* stored_;
};

// ---- Detailed timing descriptor -----------------------------------------------------------------

// The timing editor writes into a scratch block, whose code window is nobody's.
class NoCodeWindow : public EdidCodeView {
 public:
  void HighlightRange(int, int, bool) override {}
  void ClearHighlight() override {}
};

class TimingEditor : public DataBlockEditor {
 public:
  TimingEditor(CNodeEditor& owner, const DecodedNode& item, QWidget* parent)
      : DataBlockEditor(parent), owner_(owner), first_(item.bytes.first), label_(Text(item.label)) {
    setObjectName(QStringLiteral("timingEditor"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* edit = MakeButton(this, texts::kEditTiming, "editTiming");
    layout->addWidget(edit);
    layout->addStretch(1);
    connect(edit, &QPushButton::clicked, this, [this] { EditTiming(); });
  }

  void Refresh(const DecodedTree& tree, int item) override { label_ = Text(NodeAt(tree, item).label); }

 private:
  void EditTiming() {
    const EdidData edid = owner_.CurrentEdid();
    if (first_ + kDescriptorSize > static_cast<int>(edid.size())) return;
    // A copy of the 18 bytes in the place the editor knows; OK writes them back as one edit.
    EdidBlock scratch;
    std::copy_n(edid.begin() + first_, kDescriptorSize, scratch.Bytes().begin() + kFirstDescriptorOffset);
    NoCodeWindow codes;
    QDialog dialog(window());
    dialog.setObjectName(QStringLiteral("timingDialog"));
    dialog.setWindowTitle(Text(texts::kEditTimingTitle));
    auto* layout = new QVBoxLayout(&dialog);
    auto* editor = new CDetailTimingDlg(scratch, codes, 0, &dialog);
    editor->FillFromBlock();
    layout->addWidget(editor);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
      if (editor->ValidateFields()) dialog.accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted) return;
    editor->WriteAll();
    std::array<uint8_t, kDescriptorSize> timing{};
    std::copy_n(scratch.Bytes().begin() + kFirstDescriptorOffset, kDescriptorSize, timing.begin());
    owner_.Apply(Text(texts::kEditTimingStep).arg(label_), [first = first_, timing](EdidData& whole) {
      std::copy(timing.begin(), timing.end(), whole.begin() + first);
      return EditResult{};
    });
  }

  CNodeEditor& owner_;
  int first_;
  QString label_;
};

}  // namespace

DataBlockEditor* MakeDataBlockEditor(CNodeEditor& owner, const DecodedTree& tree, int item, QWidget* parent) {
  const DecodedNode& node = NodeAt(tree, item);
  const DecodedNode* kind = ChildField(tree, item, "kind");
  const std::string word = kind ? kind->value : std::string();
  const bool dtd = word == "dtd" || (node.path.find(".dtds[") != std::string::npos && !node.IsField());
  if (dtd && node.bytes.last - node.bytes.first + 1 == kDescriptorSize) return new TimingEditor(owner, node, parent);
  const std::optional<DataBlockPlace> place = PlaceOf(node.path);
  // CTA-861 data blocks only: a DisplayID block's data blocks have kinds of their own.
  if (!place || place->block < 1 || word.empty()) return nullptr;
  if (word == "video") return new VideoBlockEditor(owner, *place, parent);
  if (word == "audio") return new AudioBlockEditor(owner, *place, parent);
  if (word == "hdr-static") return new HdrLuminanceEditor(owner, parent);
  return nullptr;
}

}  // namespace tolvex
