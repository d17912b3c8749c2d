#include "wizard/edid_wizard.h"

#include "wizard/s6_dtim_page.h"

namespace tolvex {

// Placeholder sheet until the wizard pages land on this branch: it carries the descriptor pages only.
CEdidWizard::CEdidWizard(EdidBlock& block, CEdidCodeDlg& codeWindow, QWidget* frame) : QWizard(frame) {
  for (int i = 0; i < 4; ++i) {
    addPage(new CS6Dtim(*this, block, codeWindow, i,
                        QStringLiteral("Step %1 of 9 : Detailed timing and Descriptor description (BLOCK %2)")
                            .arg(6 + i)
                            .arg(1 + i)));
  }
}

void CEdidWizard::InvalidatePages() {}

}  // namespace tolvex
