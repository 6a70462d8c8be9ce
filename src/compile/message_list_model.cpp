#include "compile/message_list_model.h"

#include "compile/message_file.h"
#include "platform/qt_services.h"

#include <QFontMetrics>

#include <algorithm>

namespace ostrel {

namespace {

// Room for the item's own margins around its text.
constexpr int kTextMargin = 12;

} // namespace

MessageListModel::MessageListModel(QObject *parent)
    : QAbstractListModel(parent)
{
}

void MessageListModel::SetResult(std::shared_ptr<const BuildResult> result, const QFont &font)
{
    beginResetModel();
    m_result = std::move(result);
    const auto &entries = m_result->Entries();
    const QFontMetrics metrics(font);
    const auto longest = std::max_element(
        entries.begin(), entries.end(), [](const std::string &a, const std::string &b) {
            return a.size() < b.size();
        });
    const int width =
        longest == entries.end() ? 0 : metrics.horizontalAdvance(ToQt(ShownEntry(*longest)));
    m_rowSize = QSize(width + kTextMargin, metrics.height() + 2);
    endResetModel();
}

int MessageListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_result->Entries().size());
}

QVariant MessageListModel::data(const QModelIndex &index, int role) const
{
    const auto &entries = m_result->Entries();
    if (!index.isValid() || index.row() < 0 || static_cast<size_t>(index.row()) >= entries.size())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return ToQt(ShownEntry(entries[static_cast<size_t>(index.row())]));
    case Qt::ToolTipRole: {
        const std::string tip = EntryTip(entries[static_cast<size_t>(index.row())]);
        return tip.empty() ? QVariant() : QVariant(ToQt(tip));
    }
    case Qt::SizeHintRole:
        return m_rowSize;
    default:
        return {};
    }
}

} // namespace ostrel
