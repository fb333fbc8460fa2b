// The alarm log page: the list of alarms (name and time, newest first) and, beside it,
// the context of the selected alarm.
#pragma once

#include <QWidget>

class QTableWidget;

namespace kalmet {
class TAlarmLog;
}

namespace kalmet::shell {

class TAlarmPage : public QWidget {
  Q_OBJECT

 public:
  explicit TAlarmPage(TAlarmLog& log, QWidget* parent = nullptr);
  // Shows the log's alarms and selects the first, which shows its context.
  void Reload();

  QTableWidget* RecordList() const { return recordList_; }
  QTableWidget* ParamList() const { return paramList_; }

 private:
  void RecordListSelectItem(int row);

  TAlarmLog& log_;
  QTableWidget* recordList_;
  QTableWidget* paramList_;
};

}  // namespace kalmet::shell
