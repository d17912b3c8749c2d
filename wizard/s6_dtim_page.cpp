#include "wizard/s6_dtim_page.h"

namespace tolvex {

// Until the descriptor editors exist the page only carries its title; it edits nothing.
CS6Dtim::CS6Dtim(WizardState& sheet, EdidBlock& block, CEdidCodeDlg& codeWindow, int blockIndex, const QString& title,
                 QWidget* parent)
    : QWizardPage(parent), sheet_(sheet), block_(block), codeWindow_(codeWindow), blockIndex_(blockIndex) {
  setTitle(title);
}

}  // namespace tolvex
