// Calendar date as the user's local clock gives it; Reset dates a new block with it.
#pragma once

namespace tolvex {

struct CalendarDate {
  int year;
  int month;  // 1-12
  int day;    // 1-31
};

bool IsLeapYear(int year);
// 0 for 1 January.
int DayOfYear(const CalendarDate& date);
// The week of manufacture a block made on `date` carries: (day of the year + 6) / 7, so
// 1 January is week 0 and 2 to 8 January week 1.
int WeekOfManufacture(const CalendarDate& date);
CalendarDate TodayLocal();

}  // namespace tolvex
