#include "ui/FileDialogDetails.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QGuiApplication>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QScreen>
#include <QTreeView>

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

void sizeToShowEveryColumn(QFileDialog &dialog)
{
    // Room for a long catalogue name beside its size, type and date, and the places list.
    const int nameWidth = dialog.fontMetrics().horizontalAdvance(QString(36, u'x'));
    int columns = nameWidth + 3 * dialog.fontMetrics().horizontalAdvance(QString(18, u'x'));
    if (auto *details = dialog.findChild<QTreeView *>(QStringLiteral("treeView"))) {
        details->setColumnWidth(0, qMax(details->columnWidth(0), nameWidth));
        columns = 0;
        for (int c = 0; c < details->header()->count(); ++c)
            columns += details->header()->sectionSize(c);
    }
    const QWidget *sidebar = dialog.findChild<QWidget *>(QStringLiteral("sidebar"));
    QSize wanted(columns + (sidebar ? sidebar->sizeHint().width() : 0) + 100,
                 dialog.fontMetrics().height() * 28);
    const QScreen *screen =
        dialog.parentWidget() ? dialog.parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (screen)
        wanted = wanted.boundedTo(screen->availableGeometry().size() * 9 / 10);
    dialog.resize(wanted.expandedTo(dialog.minimumSizeHint()));
}
