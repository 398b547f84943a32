#pragma once

#include <QIdentityProxyModel>

// Shows the file list unchanged, with the grid's column captions.
class GridCaptions : public QIdentityProxyModel
{
    Q_OBJECT
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
};
