#include "wizard/edid_wizard.h"

#include <QAbstractButton>

#include "wizard/s1_prod_page.h"
#include "wizard/s2_disp_page.h"
#include "wizard/s3_feat_page.h"
#include "wizard/s4_etim_page.h"
#include "wizard/s5_stim_page.h"
#include "wizard/s6_dtim_page.h"
#include "wizard/wizard_texts.h"

namespace tolvex {

namespace {

// Where the sheet opens, relative to the frame window's top-left corner.
constexpr QPoint kOffsetFromFrame(5, 72);

}  // namespace

CEdidWizard::CEdidWizard(EdidBlock& block, EdidCodeView& codeWindow, QWidget* frame)
    : QWizard(frame) {
  setWindowTitle(QString::fromLatin1(wizard_text::kCaption));
  setWizardStyle(QWizard::ClassicStyle);
  setOption(QWizard::NoBackButtonOnStartPage, true);

  s1Prod_ = new CS1Prod(*this, block, codeWindow);
  s2Disp_ = new CS2Disp(*this, block, codeWindow);
  s3Feat_ = new CS3Feat(*this, block, codeWindow);
  s4Etim_ = new CS4Etim(*this, block, codeWindow);
  s5Stim_ = new CS5Stim(*this, block, codeWindow);
  for (QWizardPage* page : std::initializer_list<QWizardPage*>{s1Prod_, s2Disp_, s3Feat_, s4Etim_, s5Stim_}) {
    addPage(page);
  }
  for (int index = 0; index < static_cast<int>(descriptorPages_.size()); ++index) {
    descriptorPages_[index] = new CS6Dtim(*this, block, codeWindow, index,
                                          QString::fromLatin1(wizard_text::kDescriptorStepTitles[index]));
    addPage(descriptorPages_[index]);
  }

  // Every step gets the room of the largest one, so the sheet keeps its size from step to step.
  QSize room;
  for (int id : pageIds()) room = room.expandedTo(page(id)->sizeHint());
  for (int id : pageIds()) page(id)->setMinimumSize(room);

  connect(this, &QWizard::currentIdChanged, this, &CEdidWizard::OnPageChanged);
  QAbstractButton* backButton = button(QWizard::BackButton);
  disconnect(backButton, SIGNAL(clicked()), this, SLOT(back()));
  connect(backButton, &QAbstractButton::clicked, this, &CEdidWizard::OnBack);
  // Placed before the window exists, the position is the frame's: the window manager puts its
  // frame there. Placed once shown, it would be the client's, with the frame still unknown.
  if (frame) move(frame->frameGeometry().topLeft() + kOffsetFromFrame);
}

void CEdidWizard::InvalidatePages() {
  s2Disp_->Invalidate();
  s3Feat_->Invalidate();
  s4Etim_->Invalidate();
  s5Stim_->Invalidate();
  for (CS6Dtim* page : descriptorPages_) page->Invalidate();
}

void CEdidWizard::done(int result) {
  if (result != QDialog::Accepted) {
    QWizard::done(result);
    return;
  }
  if (!validateCurrentPage() || (finishCheck_ && !finishCheck_())) return;
  // QWizard::done would check the page a second time.
  QDialog::done(result);
}

void CEdidWizard::OnPageChanged(int id) {
  if (auto* page = dynamic_cast<CEdidWizardPage*>(this->page(id))) page->Activate();
}

void CEdidWizard::OnBack() {
  if (QWizardPage* page = currentPage(); page && !page->validatePage()) return;
  back();
}

}  // namespace tolvex
