// Shows the entry list in a list view without one widget item per entry;
// rows are decoded only when the view asks for them.
#ifndef KESTROVA_QT_ENTRY_LIST_VIEW_H_
#define KESTROVA_QT_ENTRY_LIST_VIEW_H_

#include <QAbstractListModel>

#include "ui/ui_model.h"

namespace kestrova {

class EntryListModel : public QAbstractListModel {
 public:
  explicit EntryListModel(const EntryList& list, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;

  // Reloads the view when the list changed since the last call.
  void Sync();

 private:
  const EntryList& list_;
  std::uint64_t shown_revision_;
  int shown_count_;
};

}  // namespace kestrova

#endif  // KESTROVA_QT_ENTRY_LIST_VIEW_H_
