#pragma once

#include <QAbstractListModel>
#include <QFont>
#include <QSize>

#include <string>
#include <vector>

namespace ostrel {

// The output window's entries as a list model. Texts are converted only for the rows that
// are shown, and every row has the size of the longest one, so a list of 100,000 messages is
// filled without touching each of them.
class MessageListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit MessageListModel(QObject *parent = nullptr);

    // `font` is the list's: the longest entry is measured in it for the horizontal scroll range.
    void SetEntries(std::vector<std::string> entries, const QFont &font);
    const std::vector<std::string> &Entries() const { return m_entries; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    std::vector<std::string> m_entries;
    QSize m_rowSize;
};

} // namespace ostrel
