#include "ui/GridCaptions.h"

#include <QStringList>

QVariant GridCaptions::headerData(int section, Qt::Orientation orientation, int role) const
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
