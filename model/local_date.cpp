#include "model/local_date.h"

#include <array>
#include <ctime>

namespace tolvex {

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DayOfYear(const CalendarDate& date) {
  static constexpr std::array<int, 12> kDaysBeforeMonth = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
  const int month = date.month < 1 ? 1 : (date.month > 12 ? 12 : date.month);
  int day = kDaysBeforeMonth[month - 1] + date.day - 1;
  if (month > 2 && IsLeapYear(date.year)) ++day;
  return day;
}

int WeekOfManufacture(const CalendarDate& date) { return (DayOfYear(date) + 6) / 7; }

CalendarDate TodayLocal() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

}  // namespace tolvex
