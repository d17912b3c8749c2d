// "Production Write": programs monitor after monitor with the document's block, each with its own
// serial number from a counter file, logging every unit, with a large PASS/FAIL and the last
// serial for the operator.
//
// Start runs the production loop on a worker thread: a unit's write can take seconds (the command
// protocols pause 80 ms per byte), and the bus code is synchronous, so the event loop must not
// wait for it. The dialog is modal, so nothing else touches the bus meanwhile; the worker reports
// through queued calls. Stop, or closing the dialog, ends the loop once the unit under way is
// done, never in the middle of one; a dialog closed during a run shows the run's summary as it
// goes.
#pragma once

#include <QDialog>

#include <atomic>
#include <optional>
#include <thread>

#include "model/edid_block.h"
#include "model/edid_extensions.h"
#include "production/production_run.h"
#include "production/production_station.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tolvex {

class CProductionDlg : public QDialog {
  Q_OBJECT

 public:
  // `base` and `serialFormat`: the document's block, the template of every unit's base block;
  // `extensions` follow it unchanged in every unit.
  CProductionDlg(const ProductionStation& station, const EdidBytes& base, const EdidExtensions& extensions,
                 uint8_t serialFormat, QWidget* parent = nullptr);
  ~CProductionDlg() override;

  bool Running() const { return worker_.joinable(); }

  // The controls, for tests.
  QLineEdit* CounterEdit() const { return counterEdit_; }
  QComboBox* FieldCombo() const { return fieldCombo_; }
  QLineEdit* TemplateEdit() const { return templateEdit_; }
  QCheckBox* StampDateBox() const { return stampDateBox_; }
  QLineEdit* LogEdit() const { return logEdit_; }
  QPushButton* StartButton() const { return startButton_; }
  QPushButton* CloseButton() const { return closeButton_; }
  QLabel* Verdict() const { return verdict_; }
  QLabel* LastSerial() const { return lastSerial_; }
  QLabel* Counts() const { return counts_; }
  QLabel* Status() const { return status_; }
  QLabel* NextUnit() const { return nextUnit_; }

 public slots:
  void reject() override;

 private:
  class Events;

  void BuildForm();
  void LoadChoices();
  void SaveChoices() const;
  // The setup the form describes; nothing, with the reason, when its template is wrong.
  std::optional<ProductionSetup> SetupFromForm(QString& problem) const;
  void UpdateNextUnit();
  void OnStartStop();
  void StartRun(ProductionSetup setup);
  void ShowUnit(const UnitRecord& record);
  void RunFinished(const RunSummary& summary);
  void EnableForm(bool enable);
  // Asks the loop to stop; true when it was running.
  bool RequestStop();

  const ProductionStation& station_;
  EdidBytes base_;
  EdidExtensions extensions_;
  uint8_t serialFormat_;

  QLineEdit* counterEdit_;
  QComboBox* fieldCombo_;
  QLineEdit* templateEdit_;
  QCheckBox* stampDateBox_;
  QLineEdit* logEdit_;
  QLabel* nextUnit_;
  QLabel* verdict_;
  QLabel* lastSerial_;
  QLabel* counts_;
  QLabel* status_;
  QPushButton* startButton_;
  QPushButton* closeButton_;
  QList<QWidget*> form_;

  // While a run goes on: its setup, its thread and what stops it.
  std::optional<ProductionSetup> setup_;
  std::thread worker_;
  std::atomic<bool> stop_{false};
  bool closeWhenDone_ = false;
  int passed_ = 0;
  int failed_ = 0;
};

}  // namespace tolvex
