// The two diagnostic pages of protocol-2 sessions, shown when the settings key Debug is
// 1: "Unpacked" (the records as the journal library delivered them) and "Заворот" (the
// record order across a wrap of the controller's counter). Both read the version-2
// parser's lists when the view asks.
#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <array>
#include <functional>
#include <string>

namespace kalmet::shell {

class TDiagnosticModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  using TRow = std::function<std::array<std::string, 6>(int)>;

  TDiagnosticModel(QStringList captions, int columns, QObject* parent = nullptr);
  // Shows count rows read through row; an empty row function clears the page.
  void Fill(int count, TRow row);
  void Clear() { Fill(0, nullptr); }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

 private:
  QStringList captions_;
  int columns_;
  int count_ = 0;
  TRow row_;
};

}  // namespace kalmet::shell
