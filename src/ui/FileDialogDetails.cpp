#include "ui/FileDialogDetails.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QIdentityProxyModel>
#include <QLocale>

namespace {

// QFileSystemModel's columns: name, size, type, date modified.
constexpr int kSizeColumn = 1;
constexpr int kModifiedColumn = 3;

class ProgramLocaleDetails final : public QIdentityProxyModel
{
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex &index, int role) const override
    {
        const auto *files = qobject_cast<const QFileSystemModel *>(sourceModel());
        if (role != Qt::DisplayRole || !files || !index.isValid())
            return QIdentityProxyModel::data(index, role);
        const QModelIndex source = mapToSource(index);
        if (index.column() == kSizeColumn && !files->isDir(source))
            return QLocale().formattedDataSize(files->size(source));
        if (index.column() == kModifiedColumn)
            return QLocale().toString(files->lastModified(source), QLocale::ShortFormat);
        return QIdentityProxyModel::data(index, role);
    }
};

} // namespace

void showFileDetailsInProgramLocale(QFileDialog &dialog)
{
    dialog.setProxyModel(new ProgramLocaleDetails(&dialog));
}
