#include "document/settings.h"

#include <QSettings>

namespace tolvex {

namespace {

constexpr char kCompany[] = "Marvane";
constexpr char kProduct[] = "Tolvex";
constexpr char kGroup[] = "Settings";
constexpr char kProtocolValue[] = "Channel_Type";
constexpr char kFactoryEnableValue[] = "Factory_Enable";
constexpr char kMappedPageValue[] = "Factory_Mapped";
constexpr char kChannelChoiceValue[] = "Linux_Bus";
// The page field takes at most 4 characters; a longer text can only come from an outside edit
// of the store, and is cut so that the configuration dialog can still be closed with OK.
constexpr qsizetype kMappedPageLimit = 4;

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
}

void SaveSettings(const TransferSettings& settings) {
  QSettings store(QSettings::NativeFormat, QSettings::UserScope, QLatin1String(kCompany), QLatin1String(kProduct));
  store.beginGroup(QLatin1String(kGroup));
  store.setValue(QLatin1String(kProtocolValue), settings.protocol);
  store.setValue(QLatin1String(kFactoryEnableValue), settings.factoryEnable);
  store.setValue(QLatin1String(kMappedPageValue), QString::fromStdString(settings.mappedPage));
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
