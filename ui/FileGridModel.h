#pragma once

#include <QIdentityProxyModel>

// The file list as the grid shows it: its column captions, and each row's tone as the text
// colour of its cells.
class FileGridModel : public QIdentityProxyModel
{
    Q_OBJECT
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
};
