#include "app/WindowAppearance.h"

#include "app/FirstRun.h"
#include "app/GridController.h"
#include "core/Settings.h"
#include "ui/ArticleGridView.h"
#include "ui/GroupTreeView.h"
#include "ui/Theme.h"
#include "ui/WindowPlacement.h"

#include <QApplication>
#include <QComboBox>
#include <QFontComboBox>
#include <QHeaderView>
#include <QMainWindow>
#include <QSplitter>
#include <QToolBar>

#include <cmath>

namespace {

constexpr int kStoredColumns = 64;

} // namespace

WindowAppearance::WindowAppearance(QMainWindow &window, GroupTreeView &tree, ArticleGridView &grid,
                                   QSplitter &splitter, GridController &gridController)
    : QObject(&window), m_window(window), m_tree(tree), m_grid(grid), m_splitter(splitter),
      m_gridController(gridController)
{
}

QToolBar *WindowAppearance::createTextBar()
{
    auto *text = new QToolBar(QStringLiteral("Text"), &m_window);
    text->setObjectName(QStringLiteral("tbText"));
    m_fontBox = new QFontComboBox(text);
    m_fontBox->setObjectName(QStringLiteral("cboFonts"));
    m_fontBox->setToolTip(QStringLiteral("Teckensnitt"));
    m_fontBox->setAccessibleName(QStringLiteral("Teckensnitt"));
    m_fontBox->setCurrentFont(m_grid.font());
    m_fontSizeBox = new QComboBox(text);
    m_fontSizeBox->setObjectName(QStringLiteral("cboTextHeight"));
    m_fontSizeBox->setToolTip(QStringLiteral("Teckenstorlek"));
    m_fontSizeBox->setAccessibleName(QStringLiteral("Teckenstorlek"));
    for (int size = 5; size <= 12; ++size)
        m_fontSizeBox->addItem(QString::number(size));
    text->addSeparator();
    text->addWidget(m_fontBox);
    text->addSeparator();
    text->addWidget(m_fontSizeBox);
    connect(m_fontBox, &QFontComboBox::currentFontChanged, this,
            [this](const QFont &font) { applyFontName(font.family()); });
    connect(m_fontSizeBox, &QComboBox::currentTextChanged, this, [this](const QString &size) {
        Settings::save(Settings::FontSize, size.toInt());
        applyFontSize(size.toInt());
    });
    return text;
}

void WindowAppearance::restoreBarLayout()
{
    const QByteArray state = Settings::read(Settings::BarLayout);
    if (!state.isEmpty())
        m_window.restoreState(state);
}

void WindowAppearance::load()
{
    setScheme(Theme::schemeFromSetting(Settings::read(Settings::Theme)));
    setTreeColour(Settings::read(Settings::TreeColor));
    setGridColour(Settings::read(Settings::GridColor));
    const int fontSize = Settings::read(Settings::FontSize);
    {
        const QSignalBlocker block(m_fontSizeBox);
        m_fontSizeBox->setCurrentText(QString::number(fontSize));
    }
    applyFontSize(fontSize);

    RestoreFormPosition(&m_window, 8000, 12000);
    setTreeWidth(Twips::toPixels(Settings::stored(Settings::TreeWidth)
                                     .value_or(int(Twips::fromPixels(m_window.width()) / 4))));
    m_storedColumnWidths.clear();
    for (int column = 0; column < kStoredColumns; ++column)
        m_storedColumnWidths << Settings::stored(Settings::columnWidth(column)).value_or(-1);
    if (Settings::read(Settings::WinState) == 2)
        m_window.setWindowState(m_window.windowState() | Qt::WindowMaximized);
}

void WindowAppearance::save()
{
    if (m_window.isMinimized())
        m_window.showNormal();
    SaveFormPosition(&m_window);
    Settings::save(Settings::WindowWidth, int(Twips::fromPixels(m_window.width())));
    Settings::save(Settings::WindowHeight, int(Twips::fromPixels(m_window.height())));
    Settings::save(Settings::FontName, m_fontBox->currentText());
    Settings::save(Settings::WinState, m_window.isMaximized() ? 2 : 0);
    Settings::save(Settings::BarLayout, m_window.saveState());
    Settings::save(Settings::BarCount, int(m_window.findChildren<QToolBar *>().size()));
    Settings::save(Settings::Version, FirstRun::fullVersion());
    const int columns = m_grid.model() ? m_grid.model()->columnCount() : 0;
    for (int column = 0; column < columns; ++column) {
        const int pixels = m_grid.columnWidth(column);
        if (pixels > 0)
            Settings::save(Settings::columnWidth(column), int(qRound(Twips::fromPixels(pixels))));
    }
}

int WindowAppearance::scheme() const
{
    return Theme::currentScheme();
}

void WindowAppearance::setScheme(int scheme)
{
    scheme = qBound(0, scheme, Theme::kDefaultScheme);
    Theme::setCurrentScheme(scheme);
    qApp->setPalette(Theme::palette(scheme));
    QPalette own = m_window.palette();
    own.setColor(QPalette::Window, colourFromValue(Theme::barColour(scheme)));
    m_window.setPalette(own);
    Settings::save(Settings::Theme, scheme);
    emit schemeChanged(scheme);
}

void WindowAppearance::setTreeColour(std::uint32_t colour)
{
    QPalette p = m_tree.palette();
    p.setColor(QPalette::Base, colourFromValue(colour));
    m_tree.setPalette(p);
}

void WindowAppearance::setGridColour(std::uint32_t colour)
{
    QPalette p = m_grid.palette();
    const QColor base = colourFromValue(colour);
    p.setColor(QPalette::Base, base);
    // Every other row a shade off the chosen colour, darker on light colours, lighter on dark.
    p.setColor(QPalette::AlternateBase,
               base.lightness() > 128 ? base.darker(107) : base.lighter(130));
    m_grid.setPalette(p);
}

void WindowAppearance::setFontSize(int points)
{
    // Choosing in the box stores the size and applies it.
    m_fontSizeBox->setCurrentText(QString::number(points));
}

void WindowAppearance::applyFontName(const QString &family)
{
    for (QWidget *view : {static_cast<QWidget *>(&m_tree), static_cast<QWidget *>(&m_grid)}) {
        QFont font = view->font();
        font.setFamily(family);
        view->setFont(font);
    }
}

void WindowAppearance::applyFontSize(int points)
{
    if (points <= 0)
        return;
    // Column widths (shown and stored) follow the font, so text fits as it did before.
    const int previous = m_grid.font().pointSize();
    if (previous > 0 && previous != points) {
        const auto scaled = [&](int width) {
            return int(std::lround(double(width) * points / previous));
        };
        for (int column = 0; column < m_grid.horizontalHeader()->count(); ++column)
            m_grid.setColumnWidth(column, scaled(m_grid.columnWidth(column)));
        for (int &stored : m_storedColumnWidths) {
            if (stored > 0)
                stored = scaled(stored);
        }
    }
    for (QWidget *view : {static_cast<QWidget *>(&m_tree), static_cast<QWidget *>(&m_grid)}) {
        QFont font = view->font();
        font.setPointSize(points);
        view->setFont(font);
    }
    m_grid.verticalHeader()->setDefaultSectionSize(QFontMetrics(m_grid.font()).height() + 6);
    m_gridController.fitRowSelector();
}

void WindowAppearance::sizeColumns(const FieldList &fields, int columns)
{
    const QFontMetrics metrics(m_grid.font());
    for (int column = 0; column < columns; ++column) {
        const int stored = m_storedColumnWidths.value(column, -1);
        int pixels = Twips::toPixels(Settings::defaultOf(Settings::columnWidth(column)));
        if (stored > 0) {
            pixels = Twips::toPixels(stored);
        } else if (column >= 1 && column - 1 < fields.size()) {
            const FieldDesc &field = fields.at(column - 1);
            const int characters = qBound(4, qMax<int>(field.Length, field.Name.size()), 30);
            pixels = metrics.averageCharWidth() * characters + 12;
        }
        m_grid.setColumnWidth(column, pixels);
    }
}

int WindowAppearance::treeWidth() const
{
    return m_splitter.sizes().value(0);
}

void WindowAppearance::setTreeWidth(int pixels)
{
    const int total = qMax(m_splitter.width(), pixels + 100);
    m_splitter.setSizes({qMax(5, pixels), qMax(1, total - pixels)});
}
