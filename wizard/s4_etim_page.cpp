#include "wizard/s4_etim_page.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QVBoxLayout>

#include "model/edid_block.h"
#include "wizard/wizard_texts.h"

namespace tolvex {

namespace {

namespace wt = wizard_text;

struct TimingBit {
  int byteIndex;  // 0, 1, 2 for block bytes 35, 36, 37
  int bit;
};

// Box by box, in the order of the labels: bytes 35 and 36 bit 7 first, then byte 37 bit 7, the
// one bit of the manufacturer's byte that has a meaning.
constexpr std::array<TimingBit, 17> kBoxBits = {{
    {0, 7}, {0, 6}, {0, 5}, {0, 4}, {0, 3}, {0, 2}, {0, 1}, {0, 0},  // byte 35
    {1, 7}, {1, 6}, {1, 5}, {1, 4}, {1, 3}, {1, 2}, {1, 1}, {1, 0},  // byte 36
    {2, 7},                                                          // byte 37
}};
static_assert(kBoxBits.size() == wt::kEstablishedTimingLabels.size());

constexpr int kBoxesPerColumn = 9;

}  // namespace

CS4Etim::CS4Etim(WizardState& sheet, EdidBlock& block, EdidCodeView& codeWindow, QWidget* parent)
    : CEdidWizardPage(sheet, block, codeWindow, QString::fromLatin1(wt::kStep4Title), parent) {
  auto* group = new QGroupBox(QString::fromLatin1(wt::kEstablishedGroup), this);
  auto* grid = new QGridLayout(group);
  for (int i = 0; i < static_cast<int>(boxes_.size()); ++i) {
    auto* box = new QCheckBox(QString::fromLatin1(wt::kEstablishedTimingLabels[i]), group);
    box->setObjectName(QStringLiteral("establishedTiming%1").arg(i));
    grid->addWidget(box, i % kBoxesPerColumn, i / kBoxesPerColumn);
    connect(box, &QCheckBox::clicked, this, &CS4Etim::OnBoxClicked);
    boxes_[i] = box;
  }
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  layout->addStretch();
}

void CS4Etim::OnActivate(bool /*firstTime*/) {
  if (TakeVersionChange()) {
    const std::array<uint8_t, 3> bytes = block_.GetEstablishedTimings();
    for (size_t i = 0; i < boxes_.size(); ++i) {
      boxes_[i]->setChecked(bytes[kBoxBits[i].byteIndex] >> kBoxBits[i].bit & 1);
    }
  }
  Highlight(35, 37, false);
}

// Bits 6-0 of byte 37 have no box, so they are written as zero.
void CS4Etim::OnBoxClicked() {
  std::array<uint8_t, 3> bytes{};
  for (size_t i = 0; i < boxes_.size(); ++i) {
    if (boxes_[i]->isChecked()) bytes[kBoxBits[i].byteIndex] |= static_cast<uint8_t>(1u << kBoxBits[i].bit);
  }
  block_.SetEstablishedTimings(bytes[0], bytes[1], bytes[2]);
  Highlight(35, 37, true);
}

}  // namespace tolvex
