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
CalendarDate TodayLocal();

}  // namespace tolvex
