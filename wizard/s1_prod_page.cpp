#include "wizard/s1_prod_page.h"

#include <algorithm>

#include <QButtonGroup>
#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "document/edid_code_view.h"
#include "document/form_validation.h"
#include "model/edid_block.h"
#include "report/report_reader.h"
#include "util/file_io.h"
#include "wizard/edid_wizard.h"
#include "wizard/wizard_fields.h"
#include "wizard/wizard_texts.h"

namespace tolvex {

namespace {

namespace wt = wizard_text;

// The hexadecimal/decimal entry rule of the product code and the serial number.
struct EntryRule {
  const char* hexLetters;
  int maxHexLength;
  int maxDecimalLength;
  const char* decimalCeiling;
  const char* wrongCharacterMessage;
};

constexpr EntryRule kProductCodeRule = {"ABCDEF", 4, 5, "65535", wt::kProductCodeWrongCharacter};
constexpr EntryRule kSerialRule = {"ABCDEFabcdef", 8, 10, "4294967295", wt::kSerialWrongCharacter};

constexpr int kManufacturerLength = 3;
constexpr int kAsciiSerialLength = 4;
constexpr int kLastWeek = 53;
constexpr int kFirstYear = 1990;
constexpr int kLastYear = 2053;
constexpr uint32_t kUnusedSerial = 0x01010101;

enum ProductMode { kProductHex = 0, kProductDecimal = 1 };

// The field's text after the rule: a wrong character or one too many brings back the previous
// text; a decimal above the ceiling becomes "0".
QString ApplyEntryRule(QLineEdit* field, const QString& previous, bool hex, const EntryRule& rule) {
  const QString allowed = QStringLiteral("0123456789") + (hex ? QString::fromLatin1(rule.hexLetters) : QString());
  QString text = field->text();
  bool wrongCharacter = false;
  if (std::any_of(text.begin(), text.end(), [&](QChar c) { return !allowed.contains(c); })) {
    text = previous;
    wrongCharacter = true;
  }
  if (text.size() > (hex ? rule.maxHexLength : rule.maxDecimalLength)) text = previous;
  const QString ceiling = QString::fromLatin1(rule.decimalCeiling);
  if (!hex && text.size() == ceiling.size() && text > ceiling) text = QStringLiteral("0");
  if (text != field->text()) PutText(field, text);
  if (wrongCharacter) ShowEntryWarning(field, QString::fromLatin1(rule.wrongCharacterMessage));
  return text;
}

uint32_t ReadUnsigned(const QString& text, int radix) { return text.isEmpty() ? 0 : text.toUInt(nullptr, radix); }

uint16_t SwapBytes(uint16_t value) { return static_cast<uint16_t>((value << 8) | (value >> 8)); }

QString SerialAsText(uint32_t serial) {
  QString text;
  for (int shift = 24; shift >= 0; shift -= 8) text += QChar(static_cast<char16_t>((serial >> shift) & 0xFF));
  return text;
}

QString DefaultFileChooser(QWidget* parent) {
  return QFileDialog::getOpenFileName(parent, QString(), QString(), QString::fromLatin1(wt::kReportFileFilter));
}

QGroupBox* MakeGroup(const char* title, QWidget* parent) { return new QGroupBox(QString::fromLatin1(title), parent); }

QRadioButton* AddRadio(QButtonGroup* group, int id, const char* label, const QString& objectName, QWidget* parent) {
  auto* radio = new QRadioButton(QString::fromLatin1(label), parent);
  radio->setObjectName(objectName);
  group->addButton(radio, id);
  return radio;
}

void CheckChoice(QButtonGroup* group, int id) {
  if (QAbstractButton* button = group->button(id)) {
    button->setChecked(true);
    return;
  }
  // No choice at all: an exclusive group will not let its last button go.
  group->setExclusive(false);
  for (QAbstractButton* button : group->buttons()) button->setChecked(false);
  group->setExclusive(true);
}

}  // namespace

CS1Prod::CS1Prod(WizardState& sheet, EdidBlock& block, EdidCodeView& codeWindow, QWidget* parent)
    : CEdidWizardPage(sheet, block, codeWindow, QString::fromLatin1(wt::kStep1Title), parent),
      chooseFile_(DefaultFileChooser) {
  BuildForm();

  connect(versionGroup_, &QButtonGroup::idClicked, this, &CS1Prod::OnVersionClicked);
  connect(manufacturerEdit_, &QLineEdit::textEdited, this, &CS1Prod::OnManufacturerEdited);
  connect(productEdit_, &QLineEdit::textEdited, this, &CS1Prod::OnProductCodeEdited);
  connect(productModeGroup_, &QButtonGroup::idClicked, this, &CS1Prod::OnProductModeClicked);
  connect(byteSwapCheck_, &QCheckBox::clicked, this, &CS1Prod::StoreProductCode);
  connect(serialEdit_, &QLineEdit::textEdited, this, &CS1Prod::OnSerialEdited);
  connect(serialModeGroup_, &QButtonGroup::idClicked, this, &CS1Prod::OnSerialModeClicked);
  connect(unusedCheck_, &QCheckBox::clicked, this, &CS1Prod::OnUnusedClicked);
  connect(weekEdit_, &QLineEdit::textEdited, this, &CS1Prod::OnWeekEdited);
  connect(yearEdit_, &QLineEdit::textEdited, this, &CS1Prod::OnYearEdited);
  connect(loadButton_, &QPushButton::clicked, this, &CS1Prod::OnLoadClicked);

  HighlightOnFocus(manufacturerEdit_, 8, 9);
  HighlightOnFocus(productEdit_, 10, 11);
  HighlightOnFocus(serialEdit_, 12, 15);
  HighlightOnFocus(weekEdit_, 16, 16);
  HighlightOnFocus(yearEdit_, 17, 17);
  OnLeave(weekEdit_, [this] { ReadFields(); });
  OnLeave(yearEdit_, [this] { ReadFields(); });
}

void CS1Prod::BuildForm() {
  auto* versionBox = MakeGroup(wt::kVersionGroup, this);
  auto* versionLayout = new QHBoxLayout(versionBox);
  versionGroup_ = new QButtonGroup(this);
  for (int choice = 0; choice < static_cast<int>(wt::kVersionChoices.size()); ++choice) {
    versionLayout->addWidget(
        AddRadio(versionGroup_, choice, wt::kVersionChoices[choice], QStringLiteral("version%1").arg(choice), versionBox));
  }
  CheckChoice(versionGroup_, 2);

  auto* vendorBox = MakeGroup(wt::kVendorGroup, this);
  auto* vendorLayout = new QFormLayout(vendorBox);
  manufacturerEdit_ = MakeUpperCaseEdit(vendorBox, "manufacturerEdit");
  manufacturerEdit_->setMaxLength(kManufacturerLength);
  FitToCharacters(manufacturerEdit_, 6);
  vendorLayout->addRow(QString::fromLatin1(wt::kManufacturerLabel), manufacturerEdit_);

  auto* productBox = MakeGroup(wt::kProductGroup, this);
  auto* productLayout = new QGridLayout(productBox);
  productEdit_ = MakeUpperCaseEdit(productBox, "productCodeEdit");
  productModeGroup_ = new QButtonGroup(this);
  byteSwapCheck_ = new QCheckBox(QString::fromLatin1(wt::kByteSwap), productBox);
  byteSwapCheck_->setObjectName(QStringLiteral("byteSwapCheck"));
  auto* productLabel = new QLabel(QString::fromLatin1(wt::kProductCodeLabel), productBox);
  productLabel->setBuddy(productEdit_);
  productLayout->addWidget(productLabel, 0, 0);
  productLayout->addWidget(productEdit_, 0, 1);
  productLayout->addWidget(AddRadio(productModeGroup_, kProductHex, wt::kHex, QStringLiteral("productHexRadio"), productBox), 0, 2);
  productLayout->addWidget(AddRadio(productModeGroup_, kProductDecimal, wt::kDec, QStringLiteral("productDecRadio"), productBox), 0, 3);
  productLayout->addWidget(byteSwapCheck_, 0, 5);
  productLayout->setColumnStretch(6, 1);
  CheckChoice(productModeGroup_, kProductHex);

  auto* serialBox = MakeGroup(wt::kSerialGroup, this);
  auto* serialLayout = new QGridLayout(serialBox);
  serialEdit_ = MakeEdit(serialBox, "serialEdit");
  serialModeGroup_ = new QButtonGroup(this);
  unusedCheck_ = new QCheckBox(QString::fromLatin1(wt::kUnused), serialBox);
  unusedCheck_->setObjectName(QStringLiteral("unusedCheck"));
  auto* serialLabel = new QLabel(QString::fromLatin1(wt::kSerialLabel), serialBox);
  serialLabel->setBuddy(serialEdit_);
  serialLayout->addWidget(serialLabel, 0, 0);
  serialLayout->addWidget(serialEdit_, 0, 1);
  serialLayout->addWidget(AddRadio(serialModeGroup_, kSerialHex, wt::kHex, QStringLiteral("serialHexRadio"), serialBox), 0, 2);
  serialLayout->addWidget(AddRadio(serialModeGroup_, kSerialDecimal, wt::kDec, QStringLiteral("serialDecRadio"), serialBox), 0, 3);
  serialLayout->addWidget(AddRadio(serialModeGroup_, kSerialAscii, wt::kAscii, QStringLiteral("serialAsciiRadio"), serialBox), 0, 4);
  serialLayout->addWidget(unusedCheck_, 0, 5);
  serialLayout->setColumnStretch(6, 1);
  // The two groups read as one table: labels, fields and mode choices in the same columns.
  const int labelWidth = std::max(productLabel->sizeHint().width(), serialLabel->sizeHint().width());
  productLabel->setMinimumWidth(labelWidth);
  serialLabel->setMinimumWidth(labelWidth);
  FitToCharacters(productEdit_, 11);
  FitToCharacters(serialEdit_, 11);
  CheckChoice(serialModeGroup_, kSerialHex);

  auto* dateBox = MakeGroup(wt::kDateGroup, this);
  auto* dateLayout = new QFormLayout(dateBox);
  weekEdit_ = MakeEdit(dateBox, "weekEdit", true);
  yearEdit_ = MakeEdit(dateBox, "yearEdit", true);
  FitToCharacters(weekEdit_, 5);
  FitToCharacters(yearEdit_, 5);
  weekEdit_->setText(QStringLiteral("0"));
  yearEdit_->setText(QStringLiteral("0"));
  dateLayout->addRow(QString::fromLatin1(wt::kWeekLabel), weekEdit_);
  dateLayout->addRow(QString::fromLatin1(wt::kYearLabel), yearEdit_);

  loadButton_ = new QPushButton(QString::fromLatin1(wt::kLoad), this);
  loadButton_->setObjectName(QStringLiteral("loadButton"));

  auto* layout = new QGridLayout(this);
  layout->addWidget(versionBox, 0, 0);
  layout->addWidget(vendorBox, 0, 1);
  layout->addWidget(productBox, 1, 0, 1, 2);
  layout->addWidget(serialBox, 2, 0, 1, 2);
  layout->addWidget(dateBox, 3, 0, 1, 2);
  layout->addWidget(loadButton_, 4, 1, Qt::AlignRight);
  layout->setRowStretch(5, 1);  // spare room below the form, not inside its groups
}

void CS1Prod::OnActivate(bool /*firstTime*/) {
  if (sheet_.StructureVersion() == 0) {
    productCodeFormat_ = block_.GetProductCodeFormat();
    serialFormat_ = block_.GetSerialFormat();
    Fill();
  }
  Highlight(8, 19, false);
}

bool CS1Prod::ReadFields() {
  return ReadTextField(manufacturerEdit_, kManufacturerLength) && ReadWeekField() &&
         ReadIntegerField(yearEdit_, kFirstYear, kLastYear);
}

// A week outside the range is refused when the field is left, with the framework's message, and
// the field shows again the week the block holds.
bool CS1Prod::ReadWeekField() {
  if (ReadIntegerField(weekEdit_, 0, kLastWeek)) return true;
  weekEdit_->setText(QString::number(block_.GetWeek()));
  weekEdit_->selectAll();
  return false;
}

void CS1Prod::Fill() {
  const EdidVersion version = block_.GetVersion();
  sheet_.SetStructureVersion(static_cast<uint8_t>((version.version << 4) + version.revision));
  CheckChoice(versionGroup_, version.revision);

  manufacturerEdit_->setText(QString::fromLatin1(block_.GetManufacturerId()));
  previousManufacturerText_ = manufacturerEdit_->text();

  uint16_t product = block_.GetProductCode();
  if (productCodeFormat_ & kProductCodeSwapped) product = SwapBytes(product);
  productMode_ = (productCodeFormat_ & kProductCodeDecimal) ? kProductDecimal : kProductHex;
  productEdit_->setText(productMode_ == kProductDecimal
                            ? QStringLiteral("%1").arg(product, 5, 10, QLatin1Char('0'))
                            : QStringLiteral("%1").arg(product, 4, 16, QLatin1Char('0')).toUpper());
  CheckChoice(productModeGroup_, productMode_);
  byteSwapCheck_->setChecked(productCodeFormat_ & kProductCodeSwapped);
  previousProductText_ = productEdit_->text();

  const uint32_t serial = block_.GetSerialNumber();
  switch (serialFormat_) {
    case kSerialHex: serialEdit_->setText(QString::number(serial, 16).toUpper()); break;
    case kSerialDecimal: serialEdit_->setText(QString::number(serial)); break;
    case kSerialAscii: serialEdit_->setText(SerialAsText(serial)); break;
    default: serialEdit_->clear(); break;
  }
  serialMode_ = serialFormat_ & ~kSerialUnused;
  CheckChoice(serialModeGroup_, serialMode_);
  unusedCheck_->setChecked(serialFormat_ & kSerialUnused);
  previousSerialText_ = serialEdit_->text();
  EnableSerialControls();

  weekEdit_->setText(QString::number(block_.GetWeek()));
  yearEdit_->setText(QString::number(block_.GetYear()));
}

void CS1Prod::OnVersionClicked(int choice) {
  ReadFields();
  sheet_.SetStructureVersion(static_cast<uint8_t>(0x10 + choice));
  block_.SetVersion(1, static_cast<uint8_t>(choice));
  Highlight(18, 19, true);
}

void CS1Prod::OnManufacturerEdited() {
  // Bytes 8-9 code the letters A-Z alone; anything else would be stored as some other letter. An
  // ID the block brought with other codes can still be shortened or overtyped.
  const auto others = [](const QString& text) {
    return std::count_if(text.begin(), text.end(), [](QChar c) { return c < QLatin1Char('A') || c > QLatin1Char('Z'); });
  };
  if (others(manufacturerEdit_->text()) > others(previousManufacturerText_)) {
    PutText(manufacturerEdit_, previousManufacturerText_);
    ShowEntryWarning(manufacturerEdit_, QString::fromLatin1(wt::kManufacturerLettersOnly));
    return;
  }
  previousManufacturerText_ = manufacturerEdit_->text();
  ReadFields();
  if (manufacturerEdit_->text().size() > kManufacturerLength) return;
  block_.SetManufacturerId(manufacturerEdit_->text().toLatin1().toStdString());
  Highlight(8, 9, true);
}

void CS1Prod::OnProductCodeEdited() {
  previousProductText_ = ApplyEntryRule(productEdit_, previousProductText_, productMode_ == kProductHex, kProductCodeRule);
  StoreProductCode();
}

void CS1Prod::StoreProductCode() {
  ReadFields();
  const bool swap = byteSwapCheck_->isChecked();
  productCodeFormat_ = static_cast<uint8_t>(productMode_ | (swap ? kProductCodeSwapped : 0));
  block_.SetProductCodeFormat(productCodeFormat_);
  uint16_t value = static_cast<uint16_t>(ReadUnsigned(productEdit_->text(), ProductRadix()));
  if (swap) value = SwapBytes(value);
  block_.SetProductCode(value);
  Highlight(10, 11, true);
}

void CS1Prod::OnProductModeClicked(int mode) {
  ReadFields();
  if (mode == productMode_) {
    Highlight(10, 11, false);
    return;
  }
  const int previousRadix = ProductRadix();
  productMode_ = mode;
  block_.SetProductCodeFormat(static_cast<uint8_t>(mode | (byteSwapCheck_->isChecked() ? kProductCodeSwapped : 0)));
  const QString text = productEdit_->text().isEmpty() ? QStringLiteral("0") : productEdit_->text();
  const uint16_t value = static_cast<uint16_t>(text.toUInt(nullptr, previousRadix));
  productEdit_->setText(QString::number(value, ProductRadix()).toUpper());
  previousProductText_ = productEdit_->text();
  StoreProductCode();
}

bool CS1Prod::SerialIsAscii() const { return serialMode_ == kSerialAscii; }

int CS1Prod::SerialRadix() const { return serialMode_ == kSerialDecimal ? 10 : 16; }

void CS1Prod::OnSerialEdited() {
  if (SerialIsAscii()) {
    if (serialEdit_->text().size() > kAsciiSerialLength) PutText(serialEdit_, previousSerialText_);
    previousSerialText_ = serialEdit_->text();
  } else {
    previousSerialText_ = ApplyEntryRule(serialEdit_, previousSerialText_, SerialRadix() == 16, kSerialRule);
  }
  StoreSerial();
}

void CS1Prod::StoreSerial() {
  if (SerialIsAscii()) {
    block_.SetSerialText(serialEdit_->text().toLatin1().toStdString());
  } else {
    block_.SetSerialNumber(ReadUnsigned(serialEdit_->text(), SerialRadix()));
  }
  Highlight(12, 15, true);
}

void CS1Prod::OnSerialModeClicked(int mode) {
  ReadFields();
  if (mode == serialMode_) {
    Highlight(12, 15, false);
    return;
  }
  const bool wasAscii = SerialIsAscii();
  serialMode_ = mode;
  serialFormat_ = static_cast<uint8_t>(mode | (unusedCheck_->isChecked() ? kSerialUnused : 0));
  block_.SetSerialFormat(serialFormat_);
  const QString text = wasAscii || serialEdit_->text().isEmpty() ? QStringLiteral("0") : serialEdit_->text();
  switch (mode) {
    case kSerialHex: serialEdit_->setText(QString::number(text.toUInt(nullptr, 10), 16).toUpper()); break;
    case kSerialDecimal: serialEdit_->setText(QString::number(text.toUInt(nullptr, 16))); break;
    default: serialEdit_->clear(); break;
  }
  previousSerialText_ = serialEdit_->text();
  StoreSerial();
}

void CS1Prod::OnUnusedClicked() {
  ReadFields();
  const bool unused = unusedCheck_->isChecked();
  serialFormat_ = static_cast<uint8_t>(serialMode_ | (unused ? kSerialUnused : 0));
  block_.SetSerialFormat(serialFormat_);
  EnableSerialControls();
  if (unused) {
    block_.SetSerialNumber(kUnusedSerial);
    Highlight(12, 15, true);
  } else {
    OnSerialEdited();
  }
}

void CS1Prod::EnableSerialControls() {
  const bool used = !unusedCheck_->isChecked();
  serialEdit_->setEnabled(used);
  for (QAbstractButton* button : serialModeGroup_->buttons()) button->setEnabled(used);
}

void CS1Prod::OnWeekEdited() {
  const std::optional<long> week = ParseInteger(weekEdit_->text());
  if (!week || *week < 0 || *week > kLastWeek) return;
  block_.SetWeek(static_cast<int>(*week));
  Highlight(16, 16, true);
}

void CS1Prod::OnYearEdited() {
  const long year = ParseInteger(yearEdit_->text()).value_or(0);
  if (year < kFirstYear || year > kLastYear) return;
  block_.SetYear(static_cast<int>(year));
  Highlight(17, 17, true);
}

void CS1Prod::OnLoadClicked() {
  const QString path = chooseFile_(wizard());
  if (path.isEmpty()) return;
  // Read without waiting, as File Open does: a FIFO or an endless device must not hang the wizard.
  const FileContent file = ReadInputFile(QFile::encodeName(path).toStdString(), kMaxReportFileSize);
  if (file.error) {
    QMessageBox(QMessageBox::Critical, QString::fromLatin1(wt::kOpenError), QString::fromLatin1(wt::kCannotOpenFile),
                QMessageBox::Ok, wizard())
        .exec();
    return;
  }
  const std::optional<ReportContent> report = ReadReport(file.bytes);
  if (!report || report->damage) {
    // A damaged dump would load a different block than the one saved; say where it breaks.
    QMessageBox box(QMessageBox::Critical, QString::fromLatin1(wt::kDataError), QString::fromLatin1(wt::kInvalidReportFile),
                    QMessageBox::Ok, wizard());
    if (report) box.setInformativeText(QString::fromStdString(DescribeDumpDamage(*report->damage)));
    box.exec();
    return;
  }
  block_.Bytes() = report->bytes;
  // From byte 0: the block may have come from a monitor whose header bytes were damaged, and the
  // code window must not go on showing them once the report's header has replaced them.
  Highlight(0, 127, true);
  codeWindow_.ClearHighlight();
  block_.SetProductCodeFormat(report->productCodeFormat);
  block_.SetSerialFormat(report->serialFormat);
  productCodeFormat_ = report->productCodeFormat;
  serialFormat_ = report->serialFormat;
  Fill();
  if (auto* sheet = qobject_cast<CEdidWizard*>(wizard())) sheet->InvalidatePages();
}

}  // namespace tolvex
