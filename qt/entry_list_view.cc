#include "qt/entry_list_view.h"

#include "base/text_codec.h"

namespace kestrova {
namespace {

// Longer entries are cut for display only; the list keeps them whole.
constexpr size_t kShownBytes = 2048;

}  // namespace

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
  const std::string_view entry = list_.At(index.row());
  std::string_view shown = entry;
  if (shown.size() > kShownBytes) shown = shown.substr(0, kShownBytes);
  QString text = QString::fromStdString(EntryForDisplay(shown));
  if (shown.size() < entry.size()) text += QChar(0x2026);
  return text;
}

void EntryListModel::Sync() {
  if (shown_revision_ == list_.Revision()) return;
  beginResetModel();
  shown_revision_ = list_.Revision();
  shown_count_ = list_.Count();
  endResetModel();
}

}  // namespace kestrova
