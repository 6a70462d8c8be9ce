#pragma once

#include "compile/build_result.h"

#include <QAbstractListModel>
#include <QFont>
#include <QSize>

#include <memory>

namespace ostrel {

// The entries of a build's result as a list model. Texts are converted only for the rows that
// are shown, and every row has the size of the longest one, so a list of 100,000 messages is
// filled without touching each of them.
class MessageListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit MessageListModel(QObject *parent = nullptr);

    // `font` is the list's: the longest entry is measured in it for the horizontal scroll range.
    void SetResult(std::shared_ptr<const BuildResult> result, const QFont &font);
    const BuildResult &Result() const { return *m_result; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    std::shared_ptr<const BuildResult> m_result = std::make_shared<const BuildResult>();
    QSize m_rowSize;
};

} // namespace ostrel
