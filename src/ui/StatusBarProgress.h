#pragma once

#include "core/Progress.h"

#include <functional>

class QProgressBar;

// Progress in the status bar's pane. Long work repaints now and then so the window keeps
// moving.
class StatusBarProgress final : public Progress
{
public:
    StatusBarProgress(QProgressBar &bar, std::function<void(bool)> showPane);
    void start(qint64 maximum) override;
    void update(qint64 value) override;
    void end() override;

private:
    QProgressBar &m_bar;
    std::function<void(bool)> m_showPane;
    qint64 m_scale = 1;
};
