#include "ui/FileGridModel.h"

#include "filelist/FileListModel.h"

#include <QColor>
#include <QStringList>

namespace {
const QColor kComplete(113, 177, 98);
const QColor kFailed(220, 10, 10);
} // namespace

QVariant FileGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const QStringList captions = {QString(),
                                         QStringLiteral(" "),
                                         QStringLiteral("File Path"),
                                         QStringLiteral("Conversion Status"),
                                         QStringLiteral("Time Length"),
                                         QStringLiteral("File Size")};
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < captions.size())
        return captions.at(section);
    return QIdentityProxyModel::headerData(section, orientation, role);
}

QVariant FileGridModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::ForegroundRole)
        return QIdentityProxyModel::data(index, role);
    const auto tone = RowTone(index.data(FileListModel::ToneRole).toInt());
    // A file refused when added shows it on its Status and its Duration; a conversion's end on
    // its Status alone.
    if (index.column() == FileListModel::Status && tone != RowTone::None)
        return tone == RowTone::Complete ? kComplete : kFailed;
    if (index.column() == FileListModel::Duration && tone == RowTone::UnknownWhenAdded)
        return kFailed;
    return {};
}
