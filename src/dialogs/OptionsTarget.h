#pragma once

#include <QString>

#include <cstdint>

// What the Options dialog changes in the main window when it applies.
class OptionsTarget
{
public:
    virtual ~OptionsTarget() = default;
    // Colours are the stored 32-bit values (red in the lowest byte).
    virtual void setTreeColour(std::uint32_t colour) = 0;
    virtual void setGridColour(std::uint32_t colour) = 0;
    // Selects the size in the main window's font-size box, which applies it to tree and grid.
    virtual void setFontSize(int points) = 0;
    virtual void setAccessoryPrefix(const QString &prefix) = 0;
};
