#include "ui/Icons.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <vector>

// The drawings are compiled into the static library; naming their resource keeps the linker
// from dropping it. The macro must be used outside any namespace.
static void initIconResources()
{
    Q_INIT_RESOURCE(icons);
}

namespace {

// Every icon is drawn on a 16 and a 24 pixel grid (the program's own also on 48), so that its
// 1 px outlines fall on whole pixels at the sizes menus, trees and toolbars use.
constexpr int kGrids[] = {16, 24, 48};

// Hands each request to the SVG drawing made for its size.
class GridIconEngine : public QIconEngine
{
public:
    explicit GridIconEngine(const QString &name)
    {
        for (int grid : kGrids) {
            const QString path = QStringLiteral(":/icons/%1/%2.svg").arg(grid).arg(name);
            if (QFile::exists(path))
                m_drawings.push_back({grid, QIcon(path)});
        }
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return drawingFor(size).pixmap(size, 1.0, mode, state);
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        const QSize pixels = rect.size() * painter->device()->devicePixelRatio();
        painter->drawPixmap(rect, pixmap(pixels, mode, state));
    }

    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return drawingFor(size).actualSize(size, mode, state);
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        QList<QSize> sizes;
        for (const Drawing &drawing : m_drawings)
            sizes << QSize(drawing.grid, drawing.grid);
        return sizes;
    }

    bool isNull() override { return m_drawings.empty(); }
    QString key() const override { return QStringLiteral("KvistboGridIcon"); }
    QIconEngine *clone() const override { return new GridIconEngine(*this); }

private:
    struct Drawing
    {
        int grid;
        QIcon icon;
    };

    // A size that is once or twice a grid takes that drawing (32 px is the 16 px one at double
    // scale); any other size takes the most detailed drawing not larger than itself.
    QIcon drawingFor(const QSize &size) const
    {
        if (m_drawings.empty())
            return QIcon();
        const int pixels = std::min(size.width(), size.height());
        const Drawing *chosen = &m_drawings.front();
        for (const Drawing &drawing : m_drawings) {
            if (drawing.grid <= pixels)
                chosen = &drawing;
        }
        for (const Drawing &drawing : m_drawings) {
            if (pixels == drawing.grid || pixels == 2 * drawing.grid)
                chosen = &drawing;
        }
        return chosen->icon;
    }

    std::vector<Drawing> m_drawings;
};

// One shared icon per drawing, so a tree full of folders renders its pixmaps once. The cache
// is emptied with the application, before the pixmap cache it fills goes away.
QIcon icon(const QString &name)
{
    static QHash<QString, QIcon> cache;
    if (cache.isEmpty()) {
        initIconResources();
        qAddPostRoutine([] { cache.clear(); });
    }
    auto it = cache.find(name);
    if (it == cache.end())
        it = cache.insert(name, QIcon(new GridIconEngine(name)));
    return *it;
}

} // namespace

namespace Icons {

QIcon named(const char *name)
{
    return name ? icon(QString::fromLatin1(name)) : QIcon();
}

QIcon folder(bool grey)
{
    return icon(grey ? QStringLiteral("folder-closed") : QStringLiteral("folder-loaded"));
}

QIcon manufacturer()
{
    return icon(QStringLiteral("manufacturer"));
}

QIcon application()
{
    return icon(QStringLiteral("application"));
}

} // namespace Icons
