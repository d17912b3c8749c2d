// What the document needs of the main window: the EDID block and the EDID code window it owns,
// the report view's text, and the status bar, cursor and message boxes of a transfer.
#pragma once

#include <QString>

#include "ddc/ddc_ui.h"

class QWidget;

namespace tolvex {

class EdidCodeView;
class EdidBlock;

class DocumentFrame : public TransferUi {
 public:
  virtual EdidBlock& Block() = 0;
  // Created on first use.
  virtual EdidCodeView& CodeWindow() = 0;
  virtual bool IsCodeWindowShown() const = 0;
  virtual void SetCodeWindowShown(bool shown) = 0;
  // The "EDID code" command: shows the window when the flag turns true, hides it otherwise.
  virtual void OnEdidCode() = 0;
  // Brings the shown window above the main window.
  virtual void RaiseCodeWindow() = 0;

  virtual QString ViewText() const = 0;
  virtual void SetViewText(const QString& text) = 0;
  virtual void SetViewModified(bool modified) = 0;
  // The document's title or path changed.
  virtual void DocumentTitleChanged() = 0;
  // The parent of the document's dialogs and message boxes.
  virtual QWidget* Window() = 0;
  // The Save As file dialog; empty when the user cancels.
  virtual QString AskSavePath(const QString& suggested) = 0;
  // What the status bar's message pane says now.
  virtual QString StatusText() const = 0;
  // The Export Binary file dialog; empty when the user cancels.
  virtual QString AskExportPath(const QString& suggested) = 0;
};

}  // namespace tolvex
