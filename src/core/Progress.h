#pragma once

#include <QtGlobal>

// Long operations report every this many rows.
inline constexpr qint64 kProgressStep = 4096;

// Long operations report through this; the window maps it onto its progress pane, batch mode
// ignores it. Operations call update() every few thousand rows, not per row.
class Progress
{
public:
    virtual ~Progress() = default;
    virtual void start(qint64 maximum) = 0;
    virtual void update(qint64 value) = 0;
    virtual void end() = 0;
};

class NullProgress final : public Progress
{
public:
    void start(qint64) override {}
    void update(qint64) override {}
    void end() override {}
};
