// The "Check" pane: the conformance check's findings on the whole EDID, one row each, in byte
// order. It re-checks whenever the block's bytes change (the code window reports every refresh,
// and every path that brings new extension blocks ends with one),
// and only while it is open; choosing a row asks for its bytes to be selected. The pane remembers
// between runs whether it is open.
#pragma once

#include <QDockWidget>

#include <functional>

#include "check/edid_check.h"
#include "model/edid_block.h"
#include "model/edid_extensions.h"

class QLabel;
class QTreeWidget;

namespace tolvex {

class CCheckPane : public QDockWidget {
  Q_OBJECT

 public:
  // Opens as it was left at the end of the last run (open the first time). While `hasEdid` says
  // no, there is nothing to check: the block is the blank one no view shows.
  CCheckPane(const EdidBlock& block, const EdidExtensions& extensions, std::function<bool()> hasEdid,
             QWidget* parent);

  // The block's bytes changed, or an EDID came or went: re-check now if the pane is open, else
  // when it opens.
  void BlockChanged();

  const CheckFindings& Findings() const { return findings_; }
  QTreeWidget* List() const { return list_; }
  QLabel* Summary() const { return summary_; }

 signals:
  // The user chose a finding about bytes first..last of the whole EDID (by click, Enter or the
  // arrow keys).
  void bytesChosen(int first, int last);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void Recheck();
  void ShowFindings();
  void ChooseRow();

  const EdidBlock& block_;
  const EdidExtensions& extensions_;
  std::function<bool()> hasEdid_;
  QLabel* summary_;
  QTreeWidget* list_;
  CheckFindings findings_;
  bool stale_ = true;
  bool listed_ = false;  // the list and summary show findings_
  bool listedEdid_ = false;  // ... and whether they were those of an EDID
  bool rebuilding_ = false;
};

// Asks, before EDID Write sends an EDID with failures, naming the first of them; Cancel is the
// default. True when there is nothing to ask or the user chose to write anyway.
bool ConfirmWriteDespiteFailures(const EdidBlock& block, const EdidExtensions& extensions, QWidget* parent);

}  // namespace tolvex
