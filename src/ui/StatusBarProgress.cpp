#include "ui/StatusBarProgress.h"

#include <QApplication>
#include <QProgressBar>

#include <climits>

StatusBarProgress::StatusBarProgress(QProgressBar &bar, std::function<void(bool)> showPane)
    : m_bar(bar), m_showPane(std::move(showPane))
{
}

void StatusBarProgress::start(qint64 maximum)
{
    m_scale = maximum > INT_MAX ? maximum / INT_MAX + 1 : 1;
    m_bar.setRange(0, int(qMax<qint64>(1, maximum / m_scale)));
    m_bar.setValue(0);
    m_showPane(true);
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void StatusBarProgress::update(qint64 value)
{
    m_bar.setValue(int(qMin<qint64>(value / m_scale, m_bar.maximum())));
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void StatusBarProgress::end()
{
    m_showPane(false);
}
