#include "app/edid_history.h"

#include <QUndoCommand>

namespace tolvex {

class EdidStep : public QUndoCommand {
 public:
  EdidStep(CEdidHistory& history, const QString& name, EdidSnapshot before, EdidSnapshot after, QString mergeKey)
      : QUndoCommand(name),
        history_(history),
        before_(std::move(before)),
        after_(std::move(after)),
        mergeKey_(std::move(mergeKey)) {}

  int id() const override { return mergeKey_.isEmpty() ? -1 : kMergingStep; }
  bool mergeWith(const QUndoCommand* other) override {
    const auto* next = static_cast<const EdidStep*>(other);
    if (next->mergeKey_ != mergeKey_) return false;
    after_ = next->after_;
    setObsolete(after_ == before_);
    return true;
  }

  void undo() override { history_.Restore(before_); }
  void redo() override {
    // Pushed after the action has run: the EDID is already the one after it.
    if (done_) history_.Restore(after_);
    done_ = true;
  }

 private:
  CEdidHistory& history_;
  EdidSnapshot before_;
  EdidSnapshot after_;
  QString mergeKey_;
  bool done_ = false;
  static constexpr int kMergingStep = 1;
};

CEdidHistory::CEdidHistory(EdidBlock& block, EdidExtensions& extensions, std::function<void()> show, QObject* parent)
    : QObject(parent), block_(block), extensions_(extensions), show_(std::move(show)) {}

void CEdidHistory::Record(const QString& name, const std::function<void()>& action, const QString& mergeKey) {
  EdidSnapshot before = Take();
  action();
  EdidSnapshot after = Take();
  if (after != before) stack_.push(new EdidStep(*this, name, std::move(before), std::move(after), mergeKey));
}

EdidSnapshot CEdidHistory::Take() const {
  return {block_.Bytes(), block_.GetProductCodeFormat(), block_.GetSerialFormat(), extensions_};
}

void CEdidHistory::Restore(const EdidSnapshot& snapshot) {
  block_.Bytes() = snapshot.base;
  block_.SetProductCodeFormat(snapshot.productCodeFormat);
  block_.SetSerialFormat(snapshot.serialFormat);
  extensions_ = snapshot.extensions;
  show_();
}

}  // namespace tolvex
