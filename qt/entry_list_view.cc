#include "qt/entry_list_view.h"

#include "ui/entry_display.h"

namespace kestrova {

EntryListModel::EntryListModel(const EntryList& list, QObject* parent)
    : QAbstractListModel(parent),
      list_(list),
      shown_revision_(list.Revision()),
      shown_count_(list.Count()) {}

int EntryListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : shown_count_;
}

QVariant EntryListModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole) return {};
  if (!index.isValid() || index.row() >= shown_count_) return {};
  return QString::fromStdString(EntryForList(list_.At(index.row())));
}

void EntryListModel::Sync() {
  if (shown_revision_ == list_.Revision()) return;
  beginResetModel();
  shown_revision_ = list_.Revision();
  shown_count_ = list_.Count();
  endResetModel();
}

}  // namespace kestrova
