#include "document/settings.h"

#include <QSettings>

#include "document/framework_texts.h"

namespace tolvex {

namespace {

constexpr char kCompany[] = "Marvane";
constexpr char kProduct[] = "Tolvex";
constexpr char kGroup[] = "Settings";
constexpr char kProtocolValue[] = "Channel_Type";
constexpr char kFactoryEnableValue[] = "Factory_Enable";
constexpr char kMappedPageValue[] = "Factory_Mapped";
constexpr char kChannelChoiceValue[] = "Linux_Bus";
// Where EDID Write keeps what an EEPROM held; set by hand in the store, unset: the state folder.
constexpr char kBackupFolderValue[] = "Backup_Folder";
// The page field takes at most 4 characters; a longer text can only come from an outside edit
// of the store, and is cut so that the configuration dialog can still be closed with OK.
constexpr qsizetype kMappedPageLimit = 4;

constexpr char kProductionGroup[] = "Production";
constexpr char kCounterFileValue[] = "CounterFile";
constexpr char kSerialFieldValue[] = "SerialField";
constexpr char kSerialTemplateValue[] = "SerialTemplate";
constexpr char kStampDateValue[] = "StampDate";
constexpr char kLogFileValue[] = "LogFile";

QSettings& Group(QSettings& store) {
  store.beginGroup(QLatin1String(kGroup));
  return store;
}

void ReadNumber(const QSettings& store, const char* name, uint32_t& member) {
  bool ok = false;
  const uint value = store.value(QLatin1String(name)).toUInt(&ok);
  if (ok) member = value;
}

}  // namespace

void LoadSettings(TransferSettings& settings) {
  QSettings store(QSettings::NativeFormat, QSettings::UserScope, QLatin1String(kCompany), QLatin1String(kProduct));
  store.beginGroup(QLatin1String(kGroup));
  ReadNumber(store, kProtocolValue, settings.protocol);
  ReadNumber(store, kFactoryEnableValue, settings.factoryEnable);
  const QVariant page = store.value(QLatin1String(kMappedPageValue));
  if (page.isValid()) settings.mappedPage = page.toString().left(kMappedPageLimit).toStdString();
  const QString backups = store.value(QLatin1String(kBackupFolderValue)).toString();
  if (!backups.isEmpty()) settings.backupFolder = backups.toStdString();
}

void SaveSettings(const TransferSettings& settings) {
  QSettings store(QSettings::NativeFormat, QSettings::UserScope, QLatin1String(kCompany), QLatin1String(kProduct));
  store.beginGroup(QLatin1String(kGroup));
  store.setValue(QLatin1String(kProtocolValue), settings.protocol);
  store.setValue(QLatin1String(kFactoryEnableValue), settings.factoryEnable);
  store.setValue(QLatin1String(kMappedPageValue), QString::fromStdString(settings.mappedPage));
}

void LoadProductionChoices(ProductionChoices& choices) {
  QSettings store(QSettings::NativeFormat, QSettings::UserScope, QLatin1String(kCompany),
                  QLatin1String(texts::kApplicationTitle));
  store.beginGroup(QLatin1String(kProductionGroup));
  choices.counterFile = store.value(QLatin1String(kCounterFileValue), choices.counterFile).toString();
  choices.serialField = store.value(QLatin1String(kSerialFieldValue), choices.serialField).toInt();
  choices.serialTemplate = store.value(QLatin1String(kSerialTemplateValue), choices.serialTemplate).toString();
  choices.stampDate = store.value(QLatin1String(kStampDateValue), choices.stampDate).toBool();
  choices.logFile = store.value(QLatin1String(kLogFileValue), choices.logFile).toString();
}

void SaveProductionChoices(const ProductionChoices& choices) {
  QSettings store(QSettings::NativeFormat, QSettings::UserScope, QLatin1String(kCompany),
                  QLatin1String(texts::kApplicationTitle));
  store.beginGroup(QLatin1String(kProductionGroup));
  store.setValue(QLatin1String(kCounterFileValue), choices.counterFile);
  store.setValue(QLatin1String(kSerialFieldValue), choices.serialField);
  store.setValue(QLatin1String(kSerialTemplateValue), choices.serialTemplate);
  store.setValue(QLatin1String(kStampDateValue), choices.stampDate);
  store.setValue(QLatin1String(kLogFileValue), choices.logFile);
}

}  // namespace tolvex

namespace tolvex {

std::string LoadChannelChoice() {
  QSettings store(QSettings::NativeFormat, QSettings::UserScope, QLatin1String(kCompany), QLatin1String(kProduct));
  return Group(store).value(QLatin1String(kChannelChoiceValue)).toString().toStdString();
}

void SaveChannelChoice(const std::string& key) {
  QSettings store(QSettings::NativeFormat, QSettings::UserScope, QLatin1String(kCompany), QLatin1String(kProduct));
  Group(store).setValue(QLatin1String(kChannelChoiceValue), QString::fromStdString(key));
}

}  // namespace tolvex
